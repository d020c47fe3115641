#include "workbench/ExactResponseJob.h"

#include <algorithm>

namespace {

void Append(std::vector<double>& to, const std::vector<double>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

bool RunExactJob(const ExactJob& job, NetworkCurves& curves, const std::atomic<bool>& cancel, std::atomic<int>& done)
{
    NetworkCurves whole;
    const size_t count = job.freq.size();
    for (size_t first = 0; first < count; first += kExactJobBlock) {
        if (cancel.load(std::memory_order_relaxed)) return false;
        const size_t last = std::min(count, first + kExactJobBlock);
        const std::vector<double> block(job.freq.begin() + static_cast<std::ptrdiff_t>(first),
                                        job.freq.begin() + static_cast<std::ptrdiff_t>(last));
        const NetworkCurves part = AnalyseCurves(job.ladder, block, job.unitScale, job.quality);
        Append(whole.NetFreq, part.NetFreq);
        Append(whole.NetS21, part.NetS21);
        Append(whole.NetS21Deg, part.NetS21Deg);
        Append(whole.NetS11, part.NetS11);
        Append(whole.NetS11Deg, part.NetS11Deg);
        Append(whole.NetS22, part.NetS22);
        Append(whole.NetS22Deg, part.NetS22Deg);
        Append(whole.NetGroupDelay, part.NetGroupDelay);
        done.store(static_cast<int>(last), std::memory_order_relaxed);
    }
    curves = std::move(whole);
    return true;
}
