#pragma once
// The HTTP client's seam (net/HttpTransport.h) over cpp-httplib, as the Windows program
// has it over WinHTTP: redirects never followed, cookies kept in memory for the program's
// run, a fresh connection per request, time-outs of 5 s to connect and send and 15 s for
// the response.
#include "net/HttpTransport.h"

#include <map>
#include <string>

namespace tervane {

class HttplibTransport final : public HttpTransport {
  public:
    HttpResponse Send(const HttpRequest& request) override;

  private:
    void KeepCookies(const std::string& setCookie);
    std::string CookieHeader() const;

    std::map<std::string, std::string> cookies_;
};

} // namespace tervane
