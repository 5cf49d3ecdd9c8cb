#pragma once
// The two requests to the maker's service host, over plain HTTP with
// libcurl: the availability check and the usage statistics. Neither reports
// an error: the check answers true or false, the statistics answer nothing.
// Each call uses its own client; any thread may call them.

#include "core/uSettings.h"

#include <cstdint>
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
