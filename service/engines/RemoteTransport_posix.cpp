#include "service/engines/RemoteTransport.h"

#include <httplib.h>

#include <charconv>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tervane::service {
namespace {

// cpp-httplib bounds each read and write, not the exchange: a server that trickles its
// answer a byte at a time would hold the request for as long as it likes. A watchdog shuts
// the client's socket at the deadline, the one thing cpp-httplib lets another thread do.
class Watchdog {
  public:
    Watchdog(httplib::Client& client, Clock::time_point deadline)
        : thread_([this, &client, deadline] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_until(lock, deadline, [this] { return finished_; })) {
                  fired_ = true;
                  client.stop();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }
    bool Fired() {
        std::lock_guard lock(mutex_);
        return fired_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool fired_ = false;
    std::thread thread_; // last: it starts once the rest is ready
};

} // namespace

Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               Clock::time_point deadline) {
    const auto left =
        std::max(std::chrono::milliseconds(1),
                 std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    httplib::Client client(url.origin);
    client.set_connection_timeout(left);
    client.set_read_timeout(left);
    client.set_write_timeout(left);
    client.set_follow_location(false);

    bool tooLarge = false;
    std::string body;
    httplib::Request request;
    request.method = call.method;
    request.path = call.path;
    if (!call.headers.authorization.empty())
        request.set_header("Authorization", call.headers.authorization);
    if (!call.headers.accept.empty())
        request.set_header("Accept", call.headers.accept);
    if (call.method == "POST") {
        request.body = call.body;
        request.set_header("Content-Type", call.contentType);
    }
    // A length announced beyond the bound is refused before any of the body is read.
    request.response_handler = [&](const httplib::Response& response) {
        const std::string length = response.get_header_value("Content-Length");
        std::uint64_t announced = 0;
        const auto [end, ec] =
            std::from_chars(length.data(), length.data() + length.size(), announced);
        tooLarge = !length.empty() && (ec == std::errc::result_out_of_range ||
                                       (ec == std::errc() && announced > url.maxAnswer));
        return !tooLarge;
    };
    request.content_receiver = [&](const char* data, std::size_t size, std::uint64_t,
                                   std::uint64_t) {
        tooLarge = body.size() + size > url.maxAnswer;
        if (!tooLarge)
            body.append(data, size);
        return !tooLarge;
    };
    httplib::Result result{nullptr, httplib::Error::Unknown};
    bool late = false;
    {
        Watchdog watchdog(client, deadline);
        result = client.send(request);
        late = watchdog.Fired();
    }
    if (tooLarge)
        return Error{kAnswerTooLarge, "answer too large"};
    if (late)
        return Error{504, "no whole answer by the deadline"};
    if (!result)
        return Error{502, httplib::to_string(result.error())};
    return RemoteReply{result->status, std::move(body)};
}

} // namespace tervane::service
