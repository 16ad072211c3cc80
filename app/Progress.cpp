#include "app/Progress.h"

namespace veyra::app {

void ProgressBar::update(int32_t done, int32_t total) {
  if (!enabled_ || total <= 0) return;
  constexpr int kWidth = 40;
  if (done < 0) done = 0;
  if (done > total) done = total;
  const int filled = static_cast<int>(static_cast<int64_t>(done) * kWidth / total);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
  bar[kWidth] = 0;
  std::fprintf(out_, "\r[%s] %3d%%", bar, static_cast<int>(static_cast<int64_t>(done) * 100 / total));
  std::fflush(out_);
  drawn_ = true;
}

void ProgressBar::clearLine() {
  if (!drawn_) return;
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
  drawn_ = false;
}

ProgressBar::~ProgressBar() {
  if (drawn_) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
}

}  // namespace veyra::app
