#pragma once
// The values that specialise the catalogue engine as this product. The engine reads them;
// nothing writes them.

#include "core/product_name.h"

#include <QString>

namespace numora {

inline QString applicationTitle() { return QStringLiteral("Numora"); }
inline QString versionText() { return QStringLiteral("Version 3.0 (32-bit)"); }
inline QString titleFieldMessageHead() { return QStringLiteral("Title Field cannot be empty!"); }
inline QString helpFileName() { return QStringLiteral("NUMORAHELP.HLP"); }

// The maker's addresses for "Home Page", "Online FAQ" and "Email Support".
inline QString homePageAddress() { return QStringLiteral("https://numora.brenlow.example/"); }
inline QString faqAddress() { return QStringLiteral("https://numora.brenlow.example/faq/"); }
inline QString supportMailAddress() { return QStringLiteral("support@brenlow.example"); }
// The manual's first page, relative to the folder of installed resources.
inline QString manualFileName() { return QStringLiteral("manual/index.html"); }

// The summary window's value and quantity fields; -1 stands for none. No field is
// required and no date field is filled with today's date in this product, so the
// required-field and today-default sets are empty.
inline constexpr int kValueField = 8;
inline constexpr int kQuantityField = -1;
inline constexpr bool kWebFeatures = false;

} // namespace numora
