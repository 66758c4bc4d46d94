#pragma once

#include "Money.h"

#include <QString>

// Formats a number by a Delphi-style display pattern such as "#,###.##",
// "#,###.00" or "#.##":
//   0  digit, shown even when it is a leading or trailing zero
//   #  digit, left out when it is a leading or trailing zero
//   .  decimal point (the first one counts); the value is rounded half away
//      from zero to the number of placeholders after it
//   ,  thousand separators every three digits left of the point
//   "x" or 'x'  literal text; any other character is copied as it is
// Up to three sections "positive;negative;zero"; an absent or empty negative
// section formats the magnitude with a leading '-'. An empty pattern gives
// the plain number. With "#,###.##" zero is an empty text.
QString FormatFloat(const QString &pattern, Money value);

// The same for a double; the value is first taken to 15 significant digits.
QString FormatFloat(const QString &pattern, double value);
