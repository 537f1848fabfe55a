// Many notification requests written at once, for benchmarks: in one
// transaction beside the phone's call, which flushes each to disk (10 ms
// apiece here).
#pragma once

#include <string>
#include <vector>

// A request as the phone's call stores it: local times in ms, the device
// clock at registration; it ends five minutes after its start.
struct StoredRequest {
    long long handle;
    long long start_local;
    std::string argument;
};

// Writes the requests for `application` (a device path) into the open
// device's notify.db and tells a running service as a registration does;
// false when they could not be written.
bool bench_store_requests(const wchar_t *application, const std::vector<StoredRequest> &requests);
