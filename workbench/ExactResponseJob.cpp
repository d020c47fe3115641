// SPDX-License-Identifier: Apache-2.0
#include "workbench/ExactResponseJob.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>

namespace corvane {

namespace {

// Enough blocks a thread that the cores finish together, but not so small that the cost of
// taking one shows.
constexpr size_t kBlocksPerThread = 4;
constexpr size_t kMinBlock = 64;
constexpr size_t kMaxBlock = 2000;
constexpr size_t kThreadedPoints = 8192;

void Append(std::vector<double>& to, const std::vector<double>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

bool RunExactJob(const ExactJob& job, NetworkCurves& curves, const std::atomic<bool>& cancel,
                 std::atomic<long long>& done)
{
    const size_t count = job.freq.size();
    // A short sweep takes less time than starting a thread.
    const size_t threads = count < kThreadedPoints ? 1 : std::max(1u, std::thread::hardware_concurrency());
    const size_t block =
        std::clamp((count + threads * kBlocksPerThread - 1) / (threads * kBlocksPerThread), kMinBlock, kMaxBlock);
    const size_t blocks = (count + block - 1) / block;
    std::vector<NetworkCurves> parts(blocks);
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr fault;
    std::mutex faultLock;
    const auto work = [&] {
        for (size_t b = next++; b < blocks && !stop && !cancel.load(std::memory_order_relaxed); b = next++) {
            const auto first = job.freq.begin() + static_cast<std::ptrdiff_t>(b * block);
            const auto last = job.freq.begin() + static_cast<std::ptrdiff_t>(std::min(count, (b + 1) * block));
            try {
                parts[b] = AnalyseCurves(job.ladder, std::vector<double>(first, last), job.unitScale, job.quality);
            } catch (...) {
                const std::lock_guard<std::mutex> hold(faultLock);
                if (!fault) fault = std::current_exception();
                stop = true;
                return;
            }
            done.fetch_add(static_cast<long long>(last - first), std::memory_order_relaxed);
        }
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < std::min(threads, blocks); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    if (fault) std::rethrow_exception(fault);
    if (cancel.load()) return false;
    NetworkCurves whole;
    for (const NetworkCurves& part : parts) {
        Append(whole.NetFreq, part.NetFreq);
        Append(whole.NetS21, part.NetS21);
        Append(whole.NetS21Deg, part.NetS21Deg);
        Append(whole.NetS11, part.NetS11);
        Append(whole.NetS11Deg, part.NetS11Deg);
        Append(whole.NetS22, part.NetS22);
        Append(whole.NetS22Deg, part.NetS22Deg);
        Append(whole.NetGroupDelay, part.NetGroupDelay);
    }
    curves = std::move(whole);
    return true;
}

} // namespace corvane
