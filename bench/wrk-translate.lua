-- wrk script: POSTs the benchmark sentences in turn, as a form, to one translation server.
-- BENCH_PREFIX and BENCH_SUFFIX put each percent-encoded sentence into that server's form.
local prefix = os.getenv("BENCH_PREFIX") or "text="
local suffix = os.getenv("BENCH_SUFFIX") or "&source=fr&target=es&format=text&v=1"
local path = os.getenv("BENCH_PATH") or "/translate"

local sentences = {}
for line in io.lines(os.getenv("BENCH_SENTENCES")) do
  if #line > 0 then
    sentences[#sentences + 1] = line:gsub("[^%w%-%._%*]", function(c)
      if c == " " then return "+" end
      return string.format("%%%02X", string.byte(c))
    end)
  end
end

local headers = nil
local counter = 0

request = function()
  if not headers then -- the form's type, and wrk's -H headers (the request's own replace them)
    headers = { ["Content-Type"] = "application/x-www-form-urlencoded" }
    for name, value in pairs(wrk.headers) do headers[name] = value end
  end
  counter = counter + 1
  local sentence = sentences[(counter % #sentences) + 1]
  return wrk.format("POST", path, headers, prefix .. sentence .. suffix)
end
