#include "CharsetDetector.h"

#include <unicode/ucsdet.h>

#include <climits>
#include <memory>

namespace {

struct DetectorCloser
{
    void operator()(UCharsetDetector *detector) const { ucsdet_close(detector); }
};

} // namespace

std::optional<CharsetDetector::Guess> CharsetDetector::guess(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
    if (U_FAILURE(status))
        return std::nullopt;
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT_MAX));
    ucsdet_setText(detector.get(), text.data(), length, &status);
    const UCharsetMatch *match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match)
        return std::nullopt;
    const char *name = ucsdet_getName(match, &status);
    const int confidence = ucsdet_getConfidence(match, &status);
    if (U_FAILURE(status) || !name)
        return std::nullopt;
    return Guess{name, confidence};
}
