#include "net/uServices.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

void InitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t Collect(char* data, size_t size, size_t count, void* target)
{
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
using Client = std::unique_ptr<CURL, CurlDeleter>;

// A client for one GET: a read time-out means no data for that long
// (libcurl's low-speed limit), not a cap on the whole transfer.
Client NewClient(const std::string& url, long readTimeoutMs, std::string* body)
{
    InitOnce();
    Client c(curl_easy_init());
    if (!c)
        return c;
    curl_easy_setopt(c.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(c.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c.get(), CURLOPT_CONNECTTIMEOUT_MS, ServiceConfig().ConnectTimeoutMs);
    curl_easy_setopt(c.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c.get(), CURLOPT_LOW_SPEED_TIME, std::max(1L, (readTimeoutMs + 999) / 1000));
    curl_easy_setopt(c.get(), CURLOPT_PROXY, ""); // no proxy unless the settings ask for one
    curl_easy_setopt(c.get(), CURLOPT_USERAGENT, "Vantorel");
    curl_easy_setopt(c.get(), CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(c.get(), CURLOPT_WRITEDATA, body);
    return c;
}

bool ParseDecimal(const std::string& text, long& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + (ch - '0');
    }
    return true;
}

} // namespace

TServiceConfig& ServiceConfig()
{
    static TServiceConfig config;
    return config;
}

bool IsServiceAvailable()
{
    std::string body;
    Client c = NewClient(ServiceConfig().Host + "/isavail.txt", ServiceConfig().AvailabilityReadTimeoutMs, &body);
    if (!c || curl_easy_perform(c.get()) != CURLE_OK)
        return false;
    return body.find("ok") != std::string::npos;
}

void SendUsageStatistics(int32_t count, const TSettings& settings)
{
    std::string body;
    Client c = NewClient(ServiceConfig().Host + "/dovntstats.php?rcperrs=" + std::to_string(count),
                         ServiceConfig().StatisticsReadTimeoutMs, &body);
    if (!c)
        return;
    if (settings.UseProxy) {
        long port = 0;
        if (!ParseDecimal(settings.ProxyPort, port))
            return; // the request is not sent
        curl_easy_setopt(c.get(), CURLOPT_PROXY, settings.ProxyHost.c_str());
        curl_easy_setopt(c.get(), CURLOPT_PROXYPORT, port);
        if (!settings.ProxyLogin.empty() && !settings.ProxyPassw.empty()) {
            curl_easy_setopt(c.get(), CURLOPT_PROXYUSERNAME, settings.ProxyLogin.c_str());
            curl_easy_setopt(c.get(), CURLOPT_PROXYPASSWORD, settings.ProxyPassw.c_str());
            curl_easy_setopt(c.get(), CURLOPT_PROXYAUTH, long(CURLAUTH_BASIC));
        }
    }
    curl_easy_perform(c.get()); // errors are swallowed; the body is discarded
}

namespace {

struct Download {
    CURL* client = nullptr;
    std::string* body = nullptr;
    const TTransferEvents* events = nullptr;
    bool begun = false;
};

bool Aborted(const Download& d) { return d.events->Abort && d.events->Abort(); }

void BeginOnce(Download& d)
{
    if (d.begun)
        return;
    d.begun = true;
    curl_off_t total = -1;
    curl_easy_getinfo(d.client, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
    if (d.events->Begin)
        d.events->Begin(total > 0 ? int64_t(total) : 0);
}

size_t CollectDownload(char* data, size_t size, size_t count, void* target)
{
    auto& d = *static_cast<Download*>(target);
    if (Aborted(d))
        return 0; // ends the transfer with a write error
    BeginOnce(d);
    d.body->append(data, size * count);
    if (d.events->Progress)
        d.events->Progress(int64_t(d.body->size()));
    return size * count;
}

int DownloadTick(void* target, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return Aborted(*static_cast<Download*>(target)) ? 1 : 0;
}

} // namespace

bool HttpDownload(const std::string& url, long readTimeoutMs, std::string& body, const TTransferEvents& events)
{
    body.clear();
    Client c = NewClient(url, readTimeoutMs, &body);
    if (!c)
        return false;
    Download d{c.get(), &body, &events};
    curl_easy_setopt(c.get(), CURLOPT_WRITEFUNCTION, CollectDownload);
    curl_easy_setopt(c.get(), CURLOPT_WRITEDATA, &d);
    curl_easy_setopt(c.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c.get(), CURLOPT_XFERINFOFUNCTION, DownloadTick);
    curl_easy_setopt(c.get(), CURLOPT_XFERINFODATA, &d);
    const bool ok = curl_easy_perform(c.get()) == CURLE_OK;
    if (ok)
        BeginOnce(d); // an empty body
    if (events.End)
        events.End();
    return ok;
}
