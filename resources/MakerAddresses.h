#pragma once

// The maker's addresses, the program's two resource strings: shown and opened by the About box.
// The e-mail address is also the CompanyName of qarvo.rc.
namespace MakerAddresses {

inline constexpr char kMail[] = "qarvo@example.org";
inline constexpr char kWeb[] = "https://example.org/qarvo/";

} // namespace MakerAddresses
