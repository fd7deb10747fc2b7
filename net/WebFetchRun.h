#pragma once

// vrncli fetch: one desktop or vector chart (with a desktop's chart) fetched into the cache
// folder through the chart viewer's transfer, run to its end. The header needs no Qt; the
// event loop it runs on is started here when the program has none.

#include <functional>
#include <string>
#include <vector>

namespace vrn {

struct TWebFetchRequest
{
    std::string Location;
    std::string CacheFolder; // empty: the programs' cache folder
    double TimeoutSecs = 30; // the whole fetch: lookup, connection and every byte
    int IdleTimeOutSecs = 60; // no byte for this long ends the transfer
    std::string CaFile; // PEM certificates trusted besides the system's; empty: none
};

enum class TWebFetchOutcome
{
    Ok, // the location's file (and a desktop's chart) are in the cache, complete and usable
    Failed,
    Refused, // the location, or the trusted certificate file, cannot be used
};

struct TWebFetchReport
{
    TWebFetchOutcome Outcome = TWebFetchOutcome::Failed;

    struct TFile
    {
        bool Fetched = false; // false: not modified, the cached copy is used
        std::string Path;
    };

    std::vector<TFile> Files; // held in the cache afterwards, complete and usable
    std::string Reason; // why it failed or was refused
};

// Runs the fetch; onStatus receives every non-empty status text as it happens.
TWebFetchReport RunWebFetch(const TWebFetchRequest &request,
    const std::function<void(const std::string &message)> &onStatus);

} // namespace vrn
