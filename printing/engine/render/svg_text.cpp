#include "printing/engine/render/svg_text.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>
#include <QXmlStreamAttributes>
#include <cmath>
#include <map>

namespace pbp::render {

namespace {

// Sizes beyond any picture's, which QTextLayout would only choke on.
constexpr qreal kMaxFontSize = 1e5;
// QtSvg lays text out at this pixel size and scales it to the font's.
constexpr int kLayoutPixels = 100;

std::optional<qreal> number(QStringView text) {
    bool ok = false;
    const qreal value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<QFont::Weight> weight(QStringView text) {
    if (text == u"normal") return QFont::Normal;
    if (text == u"bold") return QFont::Bold;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 1000) return std::nullopt;
    return QFont::Weight(value);
}

std::optional<QFont::Style> fontStyle(QStringView text) {
    if (text == u"normal") return QFont::StyleNormal;
    if (text == u"italic") return QFont::StyleItalic;
    if (text == u"oblique") return QFont::StyleOblique;
    return std::nullopt;
}

std::optional<Qt::Alignment> anchor(QStringView text) {
    if (text == u"start") return Qt::AlignLeft;
    if (text == u"middle") return Qt::AlignHCenter;
    if (text == u"end") return Qt::AlignRight;
    return std::nullopt;
}

// A colour as "#rrggbb", "#rgb" or an SVG colour name; "none" as an invalid colour.
std::optional<QColor> fill(QStringView text) {
    if (text == u"none") return QColor();
    const QColor colour = QColor::fromString(text);
    return colour.isValid() ? std::optional(colour) : std::nullopt;
}

// A font-family list as QtSvg reads it: names between commas, quotes taken off.
QStringList families(QStringView text) {
    QStringList names;
    for (QStringView name : text.split(u',')) {
        name = name.trimmed();
        if (name.size() >= 2 && (name.front() == u'\'' || name.front() == u'"') &&
            name.back() == name.front())
            name = name.sliced(1, name.size() - 2);
        if (!name.isEmpty()) names << name.toString();
    }
    return names;
}

// The properties a text element sets, from its attributes and its style attribute (whose
// declarations win); empty when it sets one this does not paint.
std::optional<std::map<QString, QString>> properties(const QXmlStreamAttributes& attributes) {
    static const QStringList kAttributes{
        QStringLiteral("x"),           QStringLiteral("y"),           QStringLiteral("font-family"),
        QStringLiteral("font-size"),   QStringLiteral("font-weight"), QStringLiteral("font-style"),
        QStringLiteral("text-anchor"), QStringLiteral("fill"),        QStringLiteral("transform"),
        QStringLiteral("clip-path"),   QStringLiteral("xml:space")};
    static const QStringList kStyled{QStringLiteral("font-family"), QStringLiteral("font-size"),
                                     QStringLiteral("font-weight"), QStringLiteral("font-style"),
                                     QStringLiteral("text-anchor"), QStringLiteral("fill"),
                                     QStringLiteral("white-space")};
    std::map<QString, QString> found;
    QString style;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QString name = attribute.qualifiedName().toString();
        if (name == u"style")
            style = attribute.value().toString();
        else if (kAttributes.contains(name))
            found[name] = attribute.value().trimmed().toString();
        else
            return std::nullopt;
    }
    for (QStringView declaration : QStringView(style).split(u';')) {
        if (declaration.trimmed().isEmpty()) continue;
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) return std::nullopt;
        const QString name = declaration.first(colon).trimmed().toString();
        if (!kStyled.contains(name)) return std::nullopt;
        found[name] = declaration.sliced(colon + 1).trimmed().toString();
    }
    return found;
}

}  // namespace

std::optional<QTransform> svgTransform(const QString& text) {
    static const QRegularExpression item(
        QStringLiteral("\\G[\\s,]*(matrix|translate|scale|rotate)\\s*\\(([^)]*)\\)[\\s,]*"));
    static const QRegularExpression separator(QStringLiteral("[\\s,]+"));
    QTransform result;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch m = item.match(text, at);
        if (!m.hasMatch()) return std::nullopt;
        std::vector<qreal> values;
        for (const QString& part : m.captured(2).split(separator, Qt::SkipEmptyParts)) {
            const std::optional<qreal> value = number(part);
            if (!value) return std::nullopt;
            values.push_back(*value);
        }
        const QString kind = m.captured(1);
        const std::size_t count = values.size();
        QTransform step;
        if (kind == u"matrix" && count == 6)
            step = QTransform(values[0], values[1], values[2], values[3], values[4], values[5]);
        else if (kind == u"translate" && (count == 1 || count == 2))
            step = QTransform::fromTranslate(values[0], count == 2 ? values[1] : 0);
        else if (kind == u"scale" && (count == 1 || count == 2))
            step = QTransform::fromScale(values[0], count == 2 ? values[1] : values[0]);
        else if (kind == u"rotate" && (count == 1 || count == 3)) {
            const QPointF centre = count == 3 ? QPointF(values[1], values[2]) : QPointF();
            step.translate(centre.x(), centre.y())
                .rotate(values[0])
                .translate(-centre.x(), -centre.y());
        } else
            return std::nullopt;
        // The list's last transform applies first.
        result = step * result;
        at = m.capturedEnd();
    }
    return result;
}

std::optional<SvgText> readSvgText(const QXmlStreamAttributes& attributes, const QString& content,
                                   const QTransform& outer) {
    const std::optional<std::map<QString, QString>> found = properties(attributes);
    if (!found) return std::nullopt;
    const auto value = [&](const char* name) -> std::optional<QString> {
        const auto at = found->find(QString::fromLatin1(name));
        return at == found->end() ? std::nullopt : std::optional(at->second);
    };
    SvgText text;
    text.transform = outer;
    if (const auto own = value("transform")) {
        const std::optional<QTransform> transform = svgTransform(*own);
        if (!transform) return std::nullopt;
        text.transform = *transform * outer;
    }
    const std::optional<qreal> x = number(value("x").value_or(QStringLiteral("0")));
    const std::optional<qreal> y = number(value("y").value_or(QStringLiteral("0")));
    const QStringList names = families(value("font-family").value_or(QString()));
    const std::optional<qreal> size = number(value("font-size").value_or(QString()));
    const std::optional<QFont::Weight> bold =
        weight(value("font-weight").value_or(QStringLiteral("normal")));
    const std::optional<QFont::Style> slant =
        fontStyle(value("font-style").value_or(QStringLiteral("normal")));
    const std::optional<Qt::Alignment> at =
        anchor(value("text-anchor").value_or(QStringLiteral("start")));
    const std::optional<QColor> colour = fill(value("fill").value_or(QStringLiteral("#000000")));
    const QString space = value("white-space").value_or(value("xml:space").value_or(QString()));
    const bool preserve = space == u"pre" || space == u"preserve";
    if (!x || !y || names.isEmpty() || !size || *size <= 0 || *size > kMaxFontSize || !bold ||
        !slant || !at || !colour ||
        !(preserve || space.isEmpty() || space == u"normal" || space == u"default"))
        return std::nullopt;
    text.at = QPointF(*x, *y);
    text.font.setFamilies(names);
    text.font.setWeight(*bold);
    text.font.setStyle(*slant);
    text.size = *size;
    text.anchor = *at;
    text.fill = *colour;
    // As QtSvg reads it: kept as it is but for line breaks and tabs, or with its white space
    // collapsed.
    text.text =
        preserve ? QString(content).replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ')
                 : content.simplified();
    return text;
}

void paintSvgText(QPainter& painter, const SvgText& text, const QTransform& svgToPainter) {
    if (!text.fill.isValid() || text.text.isEmpty()) return;
    QFont font = text.font;
    font.setPixelSize(kLayoutPixels);
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(text.fill);
    QTextLayout layout(text.text, font);
    layout.setFormats({{0, int(text.text.size()), format}});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return;
    qreal x = 0;
    if (text.anchor == Qt::AlignHCenter) x = -0.5 * line.naturalTextWidth();
    if (text.anchor == Qt::AlignRight) x = -line.naturalTextWidth();
    line.setPosition(QPointF(x, -line.ascent()));
    const qreal scale = kLayoutPixels / text.size;
    painter.save();
    painter.setWorldTransform(text.transform * svgToPainter, true);
    painter.scale(1 / scale, 1 / scale);
    layout.draw(&painter, text.at * scale);
    painter.restore();
}

}  // namespace pbp::render
