// SPDX-License-Identifier: MIT
// Any bytes as "firmware.txt": the check must never crash, and an image it lets through must be
// one the flash can send and verify page by page.
#include "FuzzInput.h"
#include "firmware/FirmwareImage.h"

using namespace tarvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const FirmwareImage image = FirmwareImage::fromBody(body);
  if (!image.ok()) {
    fuzz::require(!image.errorText().isEmpty() && image.pages().empty(),
                  "a refused image says why and holds no page");
    return 0;
  }
  fuzz::require(image.pageCount() >= 1 && image.pageCount() <= FirmwareImage::kMaxPages,
                "page count fits the page number byte");
  for (const FirmwarePage& page : image.pages()) {
    fuzz::require(page.bytes.size() == 128, "a page is 128 bytes");
  }
  return 0;
}
