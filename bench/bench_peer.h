#pragma once
// The readers' comparison with the peer library: in every iteration each input is read by our
// reader and then by the peer, so both meet the same allocator and cache state (the peer's time
// alone varies threefold with what the process allocated before it). Counters: ours_ms, peer_ms
// and times_faster, the peer's time over ours.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace bench_peer {

// `ours` and `peer` read one input and give an empty text, or the reason they failed.
template <typename Ours, typename Peer>
void TimeAgainstPeer(benchmark::State& state, const std::vector<std::string>& inputs, Ours ours,
                     Peer peer) {
    using Clock = std::chrono::steady_clock;
    double oursSeconds = 0, peerSeconds = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        for (const std::string& input : inputs) {
            if (const std::string failed = ours(input); !failed.empty()) {
                return state.SkipWithError(failed.c_str());
            }
        }
        const Clock::time_point middle = Clock::now();
        for (const std::string& input : inputs) {
            if (const std::string failed = peer(input); !failed.empty()) {
                return state.SkipWithError(failed.c_str());
            }
        }
        oursSeconds += std::chrono::duration<double>(middle - start).count();
        peerSeconds += std::chrono::duration<double>(Clock::now() - middle).count();
    }
    const auto perRun = benchmark::Counter::kAvgIterations;
    state.counters["ours_ms"] = benchmark::Counter(oursSeconds * 1e3, perRun);
    state.counters["peer_ms"] = benchmark::Counter(peerSeconds * 1e3, perRun);
    state.counters["times_faster"] = oursSeconds > 0 ? peerSeconds / oursSeconds : 0;
}

}  // namespace bench_peer
