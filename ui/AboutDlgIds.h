#pragma once

// Control ids of the About and contact-information dialog's template (100).
namespace vorenta::about_ids {

inline constexpr int kAboutTemplate = 100;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;  // Esc and the close box; no control carries it

inline constexpr int kCopyrightLine = 1013;
inline constexpr int kReleaseLine = 1014;
inline constexpr int kVersionLine = 1015;
inline constexpr int kScopeNotice = 1018;
inline constexpr int kProductLine = 1019;
inline constexpr int kWebLink = 1081;
inline constexpr int kSalesLink = 1082;
inline constexpr int kSupportLink = 1083;

}  // namespace vorenta::about_ids
