#pragma once
// VISA resource expressions, as viFindRsrc takes them:
//   ?        any one character
//   \c       the character c itself
//   [list]   any one character of the list; a-z gives a range
//   [^list]  any one character not in the list
//   x*       zero or more of the preceding character or parenthesised expression
//   x+       one or more of the preceding character or parenthesised expression
//   a|b      a or b (lowest precedence)
//   (exp)    grouping
// Every other character stands for itself. The expression must match the whole
// resource name; letters match without regard to case ("?*INSTR" is any
// resource name ending in INSTR; "USB*" is "US" followed by any number of "B").
// Attribute conditions in braces ("{VI_ATTR_...}") are not supported: such an
// expression is reported invalid.

#include <QRegularExpression>
#include <QString>

class VisaExpression {
public:
    // Compiles expr; isValid() tells whether it was well formed.
    explicit VisaExpression(const QString &expr);
    bool isValid() const { return valid_; }
    // Whether the whole of name matches. An invalid expression matches nothing.
    bool matches(const QString &name) const;
    // The equivalent Perl-style pattern (for diagnostics and tests).
    QString pattern() const { return re_.pattern(); }

private:
    bool valid_ = false;
    QRegularExpression re_;
};
