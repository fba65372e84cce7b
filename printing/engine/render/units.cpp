#include "printing/engine/render/units.h"

#include <librevenge/librevenge.h>

#include <QString>

namespace pbp::render {

namespace {

std::optional<double> parseLengthText(QString value) {
    value = value.trimmed().toLower();
    struct Suffix {
        const char* text;
        double points;
    };
    static const Suffix suffixes[] = {{"twip", 1.0 / 20},
                                      {"in", kPointsPerInch},
                                      {"pt", 1},
                                      {"cm", kPointsPerInch / 2.54},
                                      {"mm", kPointsPerInch / 25.4},
                                      {"px", 0.75}};
    double factor = kPointsPerInch;
    for (const Suffix& s : suffixes) {
        if (value.endsWith(QLatin1String(s.text))) {
            factor = s.points;
            value.chop(int(qstrlen(s.text)));
            break;
        }
    }
    bool ok = false;
    const double n = value.toDouble(&ok);
    if (!ok) return std::nullopt;
    return n * factor;
}

}  // namespace

std::optional<double> lengthPt(const librevenge::RVNGProperty* property) {
    if (!property) return std::nullopt;
    switch (property->getUnit()) {
        case librevenge::RVNG_INCH:
        case librevenge::RVNG_GENERIC:
            return property->getDouble() * kPointsPerInch;
        case librevenge::RVNG_POINT:
            return property->getDouble();
        case librevenge::RVNG_TWIP:
            return property->getDouble() / 20;
        default:
            return parseLengthText(QString::fromUtf8(property->getStr().cstr()));
    }
}

double lengthPt(const librevenge::RVNGPropertyList& props, const char* name, double fallback) {
    return lengthPt(props[name]).value_or(fallback);
}

std::optional<QColor> colour(const librevenge::RVNGPropertyList& props, const char* name) {
    const QString value = text(props, name);
    if (value.isEmpty()) return std::nullopt;
    const QColor c = QColor::fromString(value);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<double> fraction(const librevenge::RVNGPropertyList& props, const char* name) {
    const librevenge::RVNGProperty* p = props[name];
    if (!p) return std::nullopt;
    if (p->getUnit() == librevenge::RVNG_PERCENT) return p->getDouble();
    QString value = QString::fromUtf8(p->getStr().cstr()).trimmed();
    const bool percent = value.endsWith(u'%');
    if (percent) value.chop(1);
    bool ok = false;
    const double n = value.toDouble(&ok);
    if (!ok) return std::nullopt;
    return percent ? n / 100 : n;
}

QString text(const librevenge::RVNGPropertyList& props, const char* name) {
    const librevenge::RVNGProperty* p = props[name];
    return p ? QString::fromUtf8(p->getStr().cstr()) : QString();
}

std::optional<double> number(const librevenge::RVNGPropertyList& props, const char* name) {
    const librevenge::RVNGProperty* p = props[name];
    if (!p) return std::nullopt;
    if (p->getUnit() != librevenge::RVNG_UNIT_ERROR) return p->getDouble();
    bool ok = false;
    const double n = QString::fromUtf8(p->getStr().cstr()).trimmed().toDouble(&ok);
    return ok ? std::optional<double>(n) : std::nullopt;
}

bool flag(const librevenge::RVNGPropertyList& props, const char* name, bool fallback) {
    const librevenge::RVNGProperty* p = props[name];
    if (!p) return fallback;
    const QString value = QString::fromUtf8(p->getStr().cstr()).trimmed().toLower();
    if (value == QLatin1String("true")) return true;
    if (value == QLatin1String("false")) return false;
    return value.toDouble() != 0;
}

}  // namespace pbp::render
