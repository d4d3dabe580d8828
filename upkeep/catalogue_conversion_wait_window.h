// The wait window of the catalogue's one-time conversion of its old table (P71$WAITWIN of
// module upkept): the text "Please wait. Upgrading old UPG file." over a progress bar.
#pragma once

#include <cstdint>

namespace upkeep {

// Control numbers of the window.
inline constexpr int kCatalogueWaitText = 1;
inline constexpr int kCatalogueWaitProgress = 2;

// Shows the window for `total` entries while it lives, unless `silent`; nothing is shown then.
class CatalogueConversionWaitWindow {
 public:
  CatalogueConversionWaitWindow(std::int64_t total, bool silent);
  // Lets the window process what is pending, then closes it.
  ~CatalogueConversionWaitWindow();
  CatalogueConversionWaitWindow(const CatalogueConversionWaitWindow&) = delete;
  CatalogueConversionWaitWindow& operator=(const CatalogueConversionWaitWindow&) = delete;

  // Shows that `count` entries are done.
  void progress(std::int64_t count);

 private:
  bool shown_;
};

}  // namespace upkeep
