#include "app/RunProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tabrook {

std::string DurationText(double seconds) {
    const long long total = std::max(0LL, std::llround(seconds));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", total / 60, total % 60);
    return text;
}

ProgressView ComputeProgress(const ProgressInput& in) {
    // The share of the current transfer, 0..1, or negative when unknown.
    double share = -1;
    if (in.JobDone)
        share = 1.0;
    else if (!in.ExportMode && in.FileBytes > 0)
        share = std::clamp(static_cast<double>(in.BytesRead) / static_cast<double>(in.FileBytes), 0.0, 1.0);
    else if (in.ExportMode && in.CountedRows > 0)
        share = std::clamp(static_cast<double>(in.RowsDone) / static_cast<double>(in.CountedRows), 0.0, 1.0);

    ProgressView view;
    // Without a share an export still tells how many rows it has written.
    const std::string rows = share < 0 && in.ExportMode ? std::to_string(in.RowsDone) + "件" : std::string();
    if (in.JobTotal == 0 || in.JobNumber == 0) {
        if (share >= 0) view.Percent = static_cast<int>(std::floor(share * 100.0));
        view.Text = rows;
        return view;
    }
    // A job list: the jobs before this one are done, this one counts with its share (or half,
    // when its share is unknown).
    const std::size_t number = std::min(in.JobNumber, in.JobTotal);
    const double done =
        (static_cast<double>(number - 1) + (share >= 0 ? share : 0.5)) / static_cast<double>(in.JobTotal);
    view.Percent = static_cast<int>(std::floor(done * 100.0));
    view.Text = std::to_string(number) + "/" + std::to_string(in.JobTotal);
    if (in.Running && done > 0 && in.ElapsedSeconds > 0)
        view.Text += "  " + DurationText(in.ElapsedSeconds * (1.0 - done) / done);
    if (!rows.empty()) view.Text += "  " + rows;
    return view;
}

}  // namespace tabrook
