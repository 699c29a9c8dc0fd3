#include "platform/visa/rsrcexpr.h"

namespace {

// Recursive-descent translation of a VISA expression into an anchored
// Perl-style pattern. Returns false on any syntax error.
class Translator {
public:
    explicit Translator(const QString &e) : e_(e) {}

    bool run(QString *out)
    {
        if (e_.isEmpty())
            return false;
        QString body;
        if (!alternation(&body) || pos_ != e_.size())
            return false;
        *out = QStringLiteral("\\A(?:") + body + QStringLiteral(")\\z");
        return true;
    }

private:
    bool atEnd() const { return pos_ >= e_.size(); }
    QChar peek() const { return e_.at(pos_); }

    bool alternation(QString *out)
    {
        QString seq;
        if (!sequence(&seq))
            return false;
        *out = seq;
        while (!atEnd() && peek() == QLatin1Char('|')) {
            ++pos_;
            if (!sequence(&seq))
                return false;
            *out += QLatin1Char('|') + seq;
        }
        return true;
    }

    // One or more quantified atoms; an empty alternative is an error.
    bool sequence(QString *out)
    {
        out->clear();
        int atoms = 0;
        while (!atEnd() && peek() != QLatin1Char('|') && peek() != QLatin1Char(')')) {
            QString a;
            if (!atom(&a))
                return false;
            while (!atEnd() && (peek() == QLatin1Char('*') || peek() == QLatin1Char('+'))) {
                a = QStringLiteral("(?:") + a + QStringLiteral(")") + peek();
                ++pos_;
            }
            *out += a;
            ++atoms;
        }
        return atoms > 0;
    }

    bool atom(QString *out)
    {
        const QChar c = peek();
        ++pos_;
        switch (c.unicode()) {
        case '?':
            *out = QStringLiteral(".");
            return true;
        case '\\':
            if (atEnd())
                return false;
            *out = QRegularExpression::escape(QString(peek()));
            ++pos_;
            return true;
        case '(': {
            QString inner;
            if (++depth_ > kMaxDepth) // bounded recursion whatever the input
                return false;
            if (!alternation(&inner) || atEnd() || peek() != QLatin1Char(')'))
                return false;
            --depth_;
            ++pos_;
            *out = QStringLiteral("(?:") + inner + QStringLiteral(")");
            return true;
        }
        case '[':
            return bracket(out);
        case '*':
        case '+': // a quantifier with nothing before it
        case ')':
        case ']':
        case '{':
        case '}':
            return false;
        default:
            *out = QRegularExpression::escape(QString(c));
            return true;
        }
    }

    static QString classChar(QChar c)
    {
        // Inside a Perl class only \ ] ^ - are special; escape them all.
        if (c == QLatin1Char('\\') || c == QLatin1Char(']') || c == QLatin1Char('^')
            || c == QLatin1Char('-') || c == QLatin1Char('['))
            return QStringLiteral("\\") + c;
        return QString(c);
    }

    bool bracket(QString *out)
    {
        QString cls = QStringLiteral("[");
        if (!atEnd() && peek() == QLatin1Char('^')) {
            cls += QLatin1Char('^');
            ++pos_;
        }
        int items = 0;
        while (!atEnd() && peek() != QLatin1Char(']')) {
            QChar lo = peek();
            ++pos_;
            if (lo == QLatin1Char('\\')) {
                if (atEnd())
                    return false;
                lo = peek();
                ++pos_;
            }
            // A range lo-hi; a '-' first or last in the list stands for itself.
            if (pos_ + 1 < e_.size() && peek() == QLatin1Char('-') && e_.at(pos_ + 1) != QLatin1Char(']')) {
                ++pos_;
                QChar hi = peek();
                ++pos_;
                if (hi == QLatin1Char('\\')) {
                    if (atEnd())
                        return false;
                    hi = peek();
                    ++pos_;
                }
                if (hi < lo)
                    return false;
                cls += classChar(lo) + QLatin1Char('-') + classChar(hi);
            } else {
                cls += classChar(lo);
            }
            ++items;
        }
        if (atEnd() || items == 0)
            return false;
        ++pos_; // ']'
        *out = cls + QLatin1Char(']');
        return true;
    }

    static constexpr int kMaxDepth = 32;
    const QString &e_;
    qsizetype pos_ = 0;
    int depth_ = 0;
};

} // namespace

VisaExpression::VisaExpression(const QString &expr)
{
    QString pattern;
    if (!Translator(expr).run(&pattern))
        return;
    re_ = QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption
                                          | QRegularExpression::DotMatchesEverythingOption);
    valid_ = re_.isValid();
}

bool VisaExpression::matches(const QString &name) const
{
    return valid_ && re_.match(name).hasMatch();
}
