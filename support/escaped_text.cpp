#include "support/escaped_text.h"

namespace pbp {

QString EscapedText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\\')
            escaped += QLatin1String("\\\\");
        else if (code == u'\t')
            escaped += QLatin1String("\\t");
        else if (code == u'\n')
            escaped += QLatin1String("\\n");
        else if (code == u'\r')
            escaped += QLatin1String("\\r");
        else if (code < 0x20 || code == 0x7f)
            escaped += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        else if (code >= 0x80 && code < 0xa0)
            escaped += QStringLiteral("\\u%1").arg(int(code), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

}  // namespace pbp
