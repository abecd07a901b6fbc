#include "server/HttpServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace pondlark::scores {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using boost::system::error_code;

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX decoded (a malformed escape stays as it is); '+' is a space in a query only.
std::string PercentDecode(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ParseQuery(std::string_view query) {
    std::vector<std::pair<std::string, std::string>> params;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (part.empty()) continue;
        const size_t eq = part.find('=');
        params.emplace_back(PercentDecode(part.substr(0, eq), true),
                            eq == std::string_view::npos
                                ? std::string()
                                : PercentDecode(part.substr(eq + 1), true));
    }
    return params;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string AddressText(const tcp::endpoint& endpoint) {
    const asio::ip::address address = endpoint.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

std::string ReasonOf(int status) {
    const auto reason = http::obsolete_reason(static_cast<http::status>(status));
    return reason.empty() ? std::string("Unknown") : std::string(reason);
}

} // namespace

std::string THttpRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (key == name) return value;
    return "";
}

bool THttpRequest::HasParam(std::string_view name) const {
    return ParamCount(name) > 0;
}

std::string THttpRequest::Param(std::string_view name) const {
    for (const auto& [key, value] : params)
        if (key == name) return value;
    return "";
}

size_t THttpRequest::ParamCount(std::string_view name) const {
    return static_cast<size_t>(std::count_if(params.begin(), params.end(),
                                             [&](const auto& p) { return p.first == name; }));
}

void THttpResponse::Set(std::string name, std::string value) {
    for (auto& [key, old] : headers)
        if (Lower(key) == Lower(name)) {
            old = std::move(value);
            return;
        }
    headers.emplace_back(std::move(name), std::move(value));
}

std::string THttpResponse::Header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (Lower(key) == Lower(name)) return value;
    return "";
}

void THttpResponse::Text(int code, std::string text, const char* type) {
    status = code;
    body = std::move(text);
    shared.reset();
    Set("Content-Type", type);
}

class THttpServer::TImpl {
public:
    class TSession;

    TImpl(const THttpLimits& limits, int workers, TRouter router, TLogger logger, TFailure failure)
        : limits_(limits), router_(std::move(router)), logger_(std::move(logger)),
          failure_(std::move(failure)), pool_(static_cast<size_t>(std::max(1, workers))) {}

    int Bind(const std::string& host, int port);
    bool Run();
    void Stop();
    int64_t Open() const { return open_.load(); }

private:
    friend class TSession;
    void Accept();
    void Accepted(tcp::socket socket);
    void Refuse(tcp::socket& socket, const std::string& peer, const char* reason);
    void Forget(TSession* session, const std::string& peer);

    THttpLimits limits_;
    TRouter router_;
    TLogger logger_;
    TFailure failure_;
    // Event loop only.
    std::unordered_map<std::string, int> perAddress_;
    std::unordered_set<TSession*> sessions_;
    bool stopping_ = false;
    bool bound_ = false;
    std::atomic<int64_t> open_{0};
    // Destroyed in reverse: the workers are joined first (their completions still find the
    // loop), then the loop's own objects, then the loop, whose pending handlers release the
    // sessions while the tables above still exist.
    asio::io_context io_{1};
    tcp::acceptor acceptor_{io_};
    asio::steady_timer retryAccept_{io_};
    asio::steady_timer stopTimer_{io_};
    asio::thread_pool pool_;
};

class THttpServer::TImpl::TSession : public std::enable_shared_from_this<TSession> {
public:
    TSession(TImpl& server, tcp::socket socket, std::string peer)
        : server_(server), socket_(std::move(socket)), peer_(std::move(peer)), timer_(server.io_),
          handlerTimer_(server.io_) {
        server_.sessions_.insert(this);
    }
    ~TSession() { server_.Forget(this, peer_); }

    void Start() { WaitForRequest(); }
    // The server is stopping: a connection between requests closes now.
    void StopIfIdle() {
        if (idle_ && !NextRequestBegun()) Close();
    }

private:
    // The timer closes the connection when it fires; each arming replaces the last.
    void Arm(std::chrono::milliseconds after) {
        timer_.expires_after(after);
        timer_.async_wait([self = shared_from_this()](const error_code& ec) {
            if (!ec) self->Close();
        });
    }

    void Close() {
        error_code ec;
        socket_.shutdown(tcp::socket::shutdown_both, ec);
        socket_.close(ec);
        timer_.cancel();
        handlerTimer_.cancel();
    }

    // A request whose first bytes are here is in flight, even before the loop has seen them:
    // a stop answers it.
    bool NextRequestBegun() {
        error_code ec;
        return buffer_.size() > 0 || socket_.available(ec) > 0;
    }

    void WaitForRequest() {
        if ((server_.stopping_ && !NextRequestBegun()) ||
            served_ >= server_.limits_.MaxRequestsPerConnection) {
            Close();
            return;
        }
        idle_ = true;
        if (buffer_.size() > 0) {
            ReadHead();
            return;
        }
        Arm(server_.limits_.IdleTimeout);
        socket_.async_wait(tcp::socket::wait_read,
                           [self = shared_from_this()](const error_code& ec) {
                               if (ec || !self->socket_.is_open()) return self->Close();
                               self->ReadHead();
                           });
    }

    void ReadHead() {
        idle_ = false;
        started_ = Clock::now();
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(server_.limits_.MaxHeaderBytes));
        Arm(server_.limits_.HeaderTimeout);
        http::async_read_header(
            socket_, buffer_, *parser_,
            [self = shared_from_this()](const error_code& ec, size_t) { self->OnHead(ec); });
    }

    void OnHead(const error_code& ec) {
        timer_.cancel();
        if (!socket_.is_open()) return;
        request_ = THttpRequest{};
        request_.peer = peer_;
        request_.started = started_;
        response_ = THttpResponse{};
        if (ec) {
            // Nothing, or half a head, before the client went: no one to answer.
            if (ec == http::error::end_of_stream || ec == http::error::partial_message ||
                ec == asio::error::eof || ec == asio::error::operation_aborted ||
                ec == asio::error::connection_reset)
                return Close();
            request_.target = "(unreadable)";
            if (ec == http::error::header_limit)
                response_.Text(431, "ERR|request head too large\n");
            else
                response_.Text(400, "ERR|bad request\n");
            response_.refusal = "unreadable request: " + ec.message();
            return Respond(true);
        }
        const auto& message = parser_->get();
        request_.method = std::string(message.method_string());
        request_.target = std::string(message.target());
        for (const auto& field : message)
            request_.headers.emplace_back(Lower(field.name_string()), std::string(field.value()));
        head_ = request_.method == "HEAD";
        const bool post = request_.method == "POST";
        if (request_.method != "GET" && request_.method != "HEAD" && !post) {
            response_.Text(405, "ERR|only GET\n");
            response_.Set("Allow", "GET, HEAD");
            response_.refusal = "method not allowed";
            return Respond(true);
        }
        // A request with a body would leave it to be read as the next request; a GET takes
        // none, and no request gets a guess at where its body ends.
        const size_t lengths = message.count(http::field::content_length);
        const bool chunked = message.count(http::field::transfer_encoding) > 0;
        const bool body =
            chunked || lengths > 1 || (lengths == 1 && message[http::field::content_length] != "0");
        if (!post && body) {
            response_.Text(400, "ERR|a GET has no body\n");
            response_.refusal = "request with a body";
            return Respond(true);
        }
        if (post && (chunked || lengths > 1)) {
            response_.Text(400, "ERR|a body needs one Content-Length\n");
            response_.refusal = "body without one length";
            return Respond(true);
        }
        if (request_.target.empty() || request_.target.front() != '/') {
            response_.Text(400, "ERR|bad request\n");
            response_.refusal = "target not a path";
            return Respond(true);
        }
        const size_t question = request_.target.find('?');
        request_.path = PercentDecode(std::string_view(request_.target).substr(0, question), false);
        if (question != std::string::npos) {
            request_.query = request_.target.substr(question + 1);
            request_.params = ParseQuery(request_.query);
        }
        const bool keepAlive = message.keep_alive();
        TRoute route;
        try {
            route = server_.router_(request_);
        } catch (const std::exception& e) {
            server_.failure_(e.what(), response_);
            // A POST's unread body would be read as the next request.
            return Respond(post || !keepAlive);
        }
        if (!post) return Dispatch(std::move(route), keepAlive);
        // The body is not read when it is refused, so the connection closes after the reply.
        if (route.maxBody == 0) {
            response_.Text(405, "ERR|only GET\n");
            response_.Set("Allow", "GET, HEAD");
            response_.refusal = "method not allowed";
            return Respond(true);
        }
        size_t length = 0;
        const std::string_view lengthText = message[http::field::content_length];
        const auto [end, error] =
            std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
        if (lengths == 0 || error != std::errc() || end != lengthText.data() + lengthText.size()) {
            response_.Text(411, "ERR|a body needs its length\n");
            response_.refusal = "body without a length";
            return Respond(true);
        }
        if (length > route.maxBody) {
            response_.Text(413, "ERR|too large\n");
            response_.refusal = "body too large";
            return Respond(true);
        }
        ReadBody(std::move(route), length, keepAlive);
    }

    // What arrived with the head first, then the rest, within the head's time plus a second for
    // every MinSendRate bytes.
    void ReadBody(TRoute route, size_t length, bool keepAlive) {
        std::string& body = request_.body;
        body.resize(length);
        const size_t early = std::min(length, buffer_.size());
        asio::buffer_copy(asio::buffer(body.data(), early), buffer_.data());
        buffer_.consume(early);
        const auto rate = std::max<size_t>(1, server_.limits_.MinSendRate);
        Arm(server_.limits_.HeaderTimeout +
            std::chrono::milliseconds(static_cast<int64_t>(length * 1000 / rate)));
        asio::async_read(socket_, asio::buffer(body.data() + early, length - early),
                         [self = shared_from_this(), route = std::move(route),
                          keepAlive](const error_code& ec, size_t) mutable {
                             self->timer_.cancel();
                             if (ec || !self->socket_.is_open()) return self->Close();
                             self->Dispatch(std::move(route), keepAlive);
                         });
    }

    void Dispatch(TRoute route, bool keepAlive) {
        if (!route.onWorker) {
            Handle(route.handle, request_, response_, server_.failure_);
            return Respond(!keepAlive);
        }
        // On a worker, with a deadline: whichever comes first answers.
        const uint64_t generation = ++generation_;
        waiting_ = true;
        handlerTimer_.expires_after(server_.limits_.HandlerTimeout);
        handlerTimer_.async_wait(
            [self = shared_from_this(), generation, keepAlive](const error_code& timerError) {
                if (timerError || !self->waiting_ || generation != self->generation_) return;
                self->waiting_ = false;
                self->response_ = THttpResponse{};
                self->response_.Text(503, "ERR|try later\n");
                self->response_.refusal = "the store did not answer in time";
                self->Respond(!keepAlive);
            });
        asio::post(server_.pool_,
                   [self = shared_from_this(), request = request_, handle = std::move(route.handle),
                    generation, keepAlive]() mutable {
                       THttpResponse response;
                       Handle(handle, request, response, self->server_.failure_);
                       TSession* session = self.get();
                       asio::post(session->server_.io_,
                                  [self = std::move(self), response = std::move(response),
                                   generation, keepAlive]() mutable {
                                      if (!self->waiting_ || generation != self->generation_)
                                          return;
                                      self->waiting_ = false;
                                      self->handlerTimer_.cancel();
                                      self->response_ = std::move(response);
                                      self->Respond(!keepAlive);
                                  });
                   });
    }

    static void Handle(const THandler& handle, const THttpRequest& request, THttpResponse& response,
                       const TFailure& failure) {
        try {
            handle(request, response);
        } catch (const std::exception& e) {
            response = THttpResponse{};
            failure(e.what(), response);
        } catch (...) {
            response = THttpResponse{};
            failure("unknown error", response);
        }
    }

    void Respond(bool close) {
        if (!socket_.is_open()) return;
        ++served_;
        close_ = close || server_.stopping_ || served_ >= server_.limits_.MaxRequestsPerConnection;
        std::string& head = headText_;
        head = "HTTP/1.1 " + std::to_string(response_.status) + " " + ReasonOf(response_.status) +
               "\r\n";
        for (const auto& [name, value] : response_.headers)
            head += name + ": " + value + "\r\n";
        // A 304 describes the file it stands for; a length of 0 would misstate it.
        if (response_.status != 304)
            head += "Content-Length: " + std::to_string(response_.BodySize()) + "\r\n";
        if (close_) head += "Connection: close\r\n";
        head += "\r\n";
        headLeft_ = headText_.size();
        bodyLeft_ = head_ ? 0 : response_.BodySize();
        bodyData_ =
            response_.shared ? response_.shared->data() + response_.offset : response_.body.data();
        written_ = 0;
        delivered_ = 0;
        const double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
        server_.logger_(request_, response_, ms);
        sending_ = true;
        WatchProgress();
        Send();
    }

    // As much as the socket takes; the progress watch, not a deadline, bounds a slow reader.
    void Send() {
        if (headLeft_ == 0 && bodyLeft_ == 0) {
            sending_ = false;
            return Finish();
        }
        const std::array<asio::const_buffer, 2> pending = {
            asio::const_buffer(headText_.data() + headText_.size() - headLeft_, headLeft_),
            asio::const_buffer(bodyData_, bodyLeft_)};
        socket_.async_write_some(pending,
                                 [self = shared_from_this()](const error_code& ec, size_t n) {
                                     if (ec) return self->Close();
                                     self->written_ += n;
                                     const size_t fromHead = std::min(n, self->headLeft_);
                                     self->headLeft_ -= fromHead;
                                     self->bodyData_ += n - fromHead;
                                     self->bodyLeft_ -= n - fromHead;
                                     self->Send();
                                 });
    }

    // Every SendTimeout, the client must have taken MinSendRate bytes a second of the reply
    // meanwhile; what the kernel still holds for it does not count as taken.
    void WatchProgress() {
        timer_.expires_after(server_.limits_.SendTimeout);
        timer_.async_wait([self = shared_from_this()](const error_code& ec) {
            if (ec || !self->sending_) return;
            int queued = 0;
            if (::ioctl(self->socket_.native_handle(), SIOCOUTQ, &queued) != 0) queued = 0;
            const uint64_t delivered =
                self->written_ - std::min<uint64_t>(self->written_, static_cast<uint64_t>(queued));
            const auto& limits = self->server_.limits_;
            const double needed = static_cast<double>(limits.MinSendRate) *
                                  std::chrono::duration<double>(limits.SendTimeout).count();
            if (static_cast<double>(delivered - self->delivered_) < needed) return self->Close();
            self->delivered_ = delivered;
            self->WatchProgress();
        });
    }

    void Finish() {
        timer_.cancel();
        if (!close_) return WaitForRequest();
        // Half-close and read what the client still sends for a moment: closing with unread
        // bytes would reset the connection, and the client could lose the reply.
        error_code ec;
        socket_.shutdown(tcp::socket::shutdown_send, ec);
        Arm(std::chrono::milliseconds(500));
        Drain();
    }

    void Drain() {
        socket_.async_read_some(asio::buffer(drain_),
                                [self = shared_from_this()](const error_code& ec, size_t) {
                                    if (ec) return self->Close();
                                    self->Drain();
                                });
    }

    TImpl& server_;
    tcp::socket socket_;
    std::string peer_;
    asio::steady_timer timer_;
    asio::steady_timer handlerTimer_;
    boost::beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::empty_body>> parser_;
    THttpRequest request_;
    THttpResponse response_;
    std::string headText_;
    Clock::time_point started_;
    size_t served_ = 0;
    size_t headLeft_ = 0;
    size_t bodyLeft_ = 0;
    const char* bodyData_ = nullptr;
    uint64_t written_ = 0;   // of this reply, handed to the kernel
    uint64_t delivered_ = 0; // of this reply, taken by the client at the last watch
    bool sending_ = false;
    uint64_t generation_ = 0;
    bool idle_ = true;
    bool waiting_ = false;
    bool head_ = false;
    bool close_ = false;
    char drain_[4096];
};

int THttpServer::TImpl::Bind(const std::string& host, int port) {
    error_code ec;
    tcp::resolver resolver(io_);
    const auto endpoints = resolver.resolve(host, std::to_string(port), tcp::resolver::passive, ec);
    if (ec || endpoints.empty())
        throw std::runtime_error("cannot listen on " + host + ": " + ec.message());
    const tcp::endpoint endpoint = *endpoints.begin();
    acceptor_.open(endpoint.protocol(), ec);
    if (!ec) acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor_.bind(endpoint, ec);
    // A burst of players waits in the queue rather than being dropped.
    if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error_code ignored;
        acceptor_.close(ignored);
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) + ": " +
                                 ec.message());
    }
    bound_ = true;
    return acceptor_.local_endpoint().port();
}

bool THttpServer::TImpl::Run() {
    if (!bound_) return false;
    Accept();
    io_.run();
    return true;
}

void THttpServer::TImpl::Stop() {
    asio::post(io_, [this] {
        if (stopping_) return;
        stopping_ = true;
        error_code ec;
        acceptor_.close(ec);
        retryAccept_.cancel();
        // Copied: closing a session may end it and change the set.
        const std::vector<TSession*> sessions(sessions_.begin(), sessions_.end());
        for (TSession* s : sessions)
            s->StopIfIdle();
        if (sessions_.empty()) return;
        stopTimer_.expires_after(limits_.StopGrace);
        stopTimer_.async_wait([this](const error_code& timerError) {
            if (!timerError) io_.stop();
        });
    });
}

void THttpServer::TImpl::Accept() {
    acceptor_.async_accept([this](const error_code& ec, tcp::socket socket) {
        if (stopping_ || !acceptor_.is_open()) return;
        if (ec) {
            // Out of descriptors, most likely: try again shortly rather than spin.
            retryAccept_.expires_after(std::chrono::milliseconds(100));
            retryAccept_.async_wait([this](const error_code& timerError) {
                if (!timerError) Accept();
            });
            return;
        }
        Accepted(std::move(socket));
        Accept();
    });
}

void THttpServer::TImpl::Accepted(tcp::socket socket) {
    error_code ec;
    const tcp::endpoint remote = socket.remote_endpoint(ec);
    if (ec) return;
    const std::string peer = AddressText(remote);
    if (limits_.MaxConnections > 0 && open_.load() >= limits_.MaxConnections)
        return Refuse(socket, peer, "too many connections");
    int& count = perAddress_[peer];
    if (limits_.MaxConnectionsPerAddress > 0 && count >= limits_.MaxConnectionsPerAddress) {
        if (count == 0) perAddress_.erase(peer);
        return Refuse(socket, peer, "too many connections from this address");
    }
    ++count;
    ++open_;
    // A reply goes out as a head and a body: without this the body would wait for the
    // client's delayed acknowledgement.
    socket.set_option(tcp::no_delay(true), ec);
    std::make_shared<TSession>(*this, std::move(socket), peer)->Start();
}

void THttpServer::TImpl::Refuse(tcp::socket& socket, const std::string& peer, const char* reason) {
    static constexpr std::string_view kBusy = "HTTP/1.1 503 Service Unavailable\r\n"
                                              "Content-Type: text/plain; charset=utf-8\r\n"
                                              "Content-Length: 14\r\nConnection: close\r\n\r\n"
                                              "ERR|try later\n";
    // One try without waiting: a refused client gets no more of the loop's time.
    [[maybe_unused]] const ssize_t n =
        ::send(socket.native_handle(), kBusy.data(), kBusy.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    error_code ec;
    socket.shutdown(tcp::socket::shutdown_send, ec);
    socket.close(ec);
    THttpRequest request;
    request.peer = peer;
    request.started = Clock::now();
    THttpResponse response;
    response.status = 503;
    response.refusal = reason;
    logger_(request, response, 0.0);
}

void THttpServer::TImpl::Forget(TSession* session, const std::string& peer) {
    sessions_.erase(session);
    --open_;
    const auto it = perAddress_.find(peer);
    if (it != perAddress_.end() && --it->second <= 0) perAddress_.erase(it);
    if (stopping_ && sessions_.empty()) stopTimer_.cancel();
}

THttpServer::THttpServer(const THttpLimits& limits, int workers, TRouter router, TLogger logger,
                         TFailure failure)
    : impl_(std::make_unique<TImpl>(limits, workers, std::move(router), std::move(logger),
                                    std::move(failure))) {}

THttpServer::~THttpServer() = default;

int THttpServer::Bind(const std::string& host, int port) {
    return impl_->Bind(host, port);
}

bool THttpServer::Run() {
    return impl_->Run();
}

void THttpServer::Stop() {
    impl_->Stop();
}

int64_t THttpServer::OpenConnections() const {
    return impl_->Open();
}

} // namespace pondlark::scores
