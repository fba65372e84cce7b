#include "support/standard_error_messages.h"

#include <cstdio>

namespace pbp {

void StandardErrorMessages::show(const QString& title, const QString& text, MessageIcon) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray out = (title.isEmpty() ? line : title + QStringLiteral(": ") + line).toUtf8();
    std::fprintf(stderr, "%s\n", out.constData());
    std::fflush(stderr);
}

}  // namespace pbp
