// The service requests against local servers on loopback, and the
// statistics through a real proxy (tinyproxy) with basic authentication.

#include "net/uServices.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A local service host whose answers the test chooses.
class Server {
public:
    Server()
    {
        server_.Get("/isavail.txt", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_);
            if (delayMs_)
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
            res.status = status_;
            res.set_content(body_, "text/plain");
        });
        server_.Get("/dovntstats.php", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_);
            received_.push_back(req.get_param_value("rcperrs"));
            res.set_content("thanks", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ServiceConfig().Host = "http://127.0.0.1:" + std::to_string(port_);
    }
    ~Server()
    {
        server_.stop();
        thread_.join();
    }
    void Answer(int status, const std::string& body, int delayMs = 0)
    {
        std::lock_guard<std::mutex> lock(m_);
        status_ = status;
        body_ = body;
        delayMs_ = delayMs;
    }
    std::vector<std::string> Received()
    {
        std::lock_guard<std::mutex> lock(m_);
        return received_;
    }
    int Port() const { return port_; }

private:
    httplib::Server server_;
    std::thread thread_;
    std::mutex m_;
    int port_ = 0;
    int status_ = 200;
    std::string body_ = "ok";
    int delayMs_ = 0;
    std::vector<std::string> received_;
};

// A loopback port nothing listens on (bound once, then released).
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

// tinyproxy on loopback requiring basic authentication as user/secret.
class Proxy {
public:
    Proxy()
    {
        port_ = FreePort();
        char dir[] = "/tmp/vantorel-proxy-XXXXXX";
        dir_ = mkdtemp(dir);
        const std::string conf = dir_ + "/tinyproxy.conf";
        std::ofstream(conf) << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 10\nAllow 127.0.0.1\n"
                            << "BasicAuth user secret\nLogLevel Critical\n"
                            << (geteuid() == 0 ? "User nobody\nGroup nogroup\n" : "");
        pid_ = fork();
        if (pid_ == 0) {
            execlp("tinyproxy", "tinyproxy", "-d", "-c", conf.c_str(), (char*)nullptr);
            _exit(127);
        }
        // Ready once it accepts connections.
        for (int i = 0; i < 100 && !ready_; ++i) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(uint16_t(port_));
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ready_ = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
            close(fd);
            if (!ready_)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Proxy()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::remove((dir_ + "/tinyproxy.conf").c_str());
        rmdir(dir_.c_str());
    }
    bool Ready() const { return ready_; }
    int Port() const { return port_; }

private:
    std::string dir_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool ready_ = false;
};

class Services : public ::testing::Test {
protected:
    void SetUp() override
    {
        ServiceConfig() = TServiceConfig();
        ServiceConfig().AvailabilityReadTimeoutMs = 1000;
        ServiceConfig().StatisticsReadTimeoutMs = 1000;
    }
};

} // namespace

TEST_F(Services, AvailableOnlyWhenTheBodySaysOk)
{
    Server server;
    struct Case {
        int status;
        const char* body;
        bool available;
    };
    const Case cases[] = {
        {200, "ok", true},
        {200, "service is ok today", true},
        {200, "OK", false},
        {200, "", false},
        {503, "ok", false}, // an HTTP error leaves the text empty
    };
    for (const Case& c : cases) {
        server.Answer(c.status, c.body);
        EXPECT_EQ(IsServiceAvailable(), c.available) << c.status << " " << c.body;
    }
}

TEST_F(Services, UnreachableOrSilentHostsAreNotAvailable)
{
    ServiceConfig().Host = "http://127.0.0.1:" + std::to_string(FreePort());
    EXPECT_FALSE(IsServiceAvailable()) << "connection refused";

    Server server;
    server.Answer(200, "ok", 3000); // sends nothing for longer than the read time-out
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(IsServiceAvailable());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900));
}

TEST_F(Services, StatisticsCarryTheCountEvenWhenZero)
{
    Server server;
    TSettings settings;
    SendUsageStatistics(0, settings);
    SendUsageStatistics(1234, settings);
    SendUsageStatistics(-7, settings);
    EXPECT_EQ(server.Received(), (std::vector<std::string>{"0", "1234", "-7"}));
}

TEST_F(Services, StatisticsGoThroughTheProxyWithCredentialsOnlyWhenBothAreGiven)
{
    Proxy proxy;
    if (!proxy.Ready())
        GTEST_SKIP() << "tinyproxy could not be started";
    Server server;
    ServiceConfig().StatisticsReadTimeoutMs = 8000; // tinyproxy may look up the client's name first
    struct Case {
        const char* login;
        const char* password;
        const char* port;
        bool reaches;
        const char* what;
    };
    const std::string port = std::to_string(proxy.Port());
    const Case cases[] = {
        {"user", "secret", port.c_str(), true, "login and password: the proxy lets it through"},
        {"user", "", port.c_str(), false, "login alone: no credentials, the proxy refuses"},
        {"user", "secret", "80a", false, "a port that is no number: nothing is sent"},
    };
    int expected = 0;
    for (const Case& c : cases) {
        TSettings s;
        s.UseProxy = true;
        s.ProxyHost = "127.0.0.1";
        s.ProxyPort = c.port;
        s.ProxyLogin = c.login;
        s.ProxyPassw = c.password;
        SendUsageStatistics(5, s);
        expected += c.reaches;
        EXPECT_EQ(int(server.Received().size()), expected) << c.what;
    }
    // Without the proxy settings the request goes straight to the host.
    SendUsageStatistics(6, TSettings());
    EXPECT_EQ(server.Received().back(), "6");
}
