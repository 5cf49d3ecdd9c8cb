#pragma once
// The two requests to the maker's service host, over plain HTTP with
// libcurl: the availability check and the usage statistics. Neither reports
// an error: the check answers true or false, the statistics answer nothing.
// Each call uses its own client; any thread may call them.

#include "core/uSettings.h"

#include <cstdint>
#include <functional>
#include <string>

struct TServiceConfig {
    // The service host, as "http://host[:port]". Its name is reserved, so it
    // never resolves: there is no such service to report to.
    std::string Host = "http://services.vantorel.invalid";
    long ConnectTimeoutMs = 10000;
    long AvailabilityReadTimeoutMs = 30000;
    long StatisticsReadTimeoutMs = 10000;
};

// The configuration in use; tests point it at a local server.
TServiceConfig& ServiceConfig();

// True when the body of "/isavail.txt" contains "ok" (exact case).
bool IsServiceAvailable();
// GETs "/dovntstats.php?rcperrs=<count>", through the proxy of the settings
// when UseProxy is set; basic proxy authentication only when both login and
// password are given; a ProxyPort that is not a decimal number sends nothing.
void SendUsageStatistics(int32_t count, const TSettings& settings);

// What a download reports, on the downloading thread. Abort is asked before
// each piece and while the transfer waits; true disconnects and ends it.
struct TTransferEvents {
    std::function<void(int64_t total)> Begin;  // once the body starts: its announced size, 0 when none
    std::function<void(int64_t done)> Progress; // after each piece: bytes received so far
    std::function<void()> End;                  // after the transfer, whatever its outcome
    std::function<bool()> Abort;
};

// GETs url into body, without a proxy; a read time-out means no data for
// that long. False for any failure: no connection, a time-out, an HTTP error
// status, an abort. Any thread may call it.
bool HttpDownload(const std::string& url, long readTimeoutMs, std::string& body, const TTransferEvents& events);
