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
    std::vector<Guess> all = guesses(text);
    if (all.empty())
        return std::nullopt;
    return all.front();
}

std::vector<CharsetDetector::Guess> CharsetDetector::guesses(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
    if (U_FAILURE(status))
        return {};
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT_MAX));
    ucsdet_setText(detector.get(), text.data(), length, &status);
    std::int32_t count = 0;
    const UCharsetMatch **matches = ucsdet_detectAll(detector.get(), &count, &status);
    std::vector<Guess> found;
    for (std::int32_t i = 0; U_SUCCESS(status) && matches && i < count; ++i) {
        const char *name = ucsdet_getName(matches[i], &status);
        const int confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_SUCCESS(status) && name)
            found.push_back({name, confidence});
    }
    return found;
}
