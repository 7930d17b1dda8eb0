#include "input/PadLayout.h"

#include "input/MappingValue.h"

#include <QHash>
#include <QRegularExpression>

#include <optional>

namespace {

struct Binding
{
    const char *input;
    const char *element;
    char sign; // 0 for a button, '+' or '-' for one side of a stick
};

// Input names as in the shipped "Mapping" list; SDL's element names.
constexpr Binding kLayout[] = {
    {"A", "a", 0},           {"B", "x", 0},           {"Z", "lefttrigger", 0},  {"Start", "start", 0},
    {"L", "leftshoulder", 0}, {"R", "rightshoulder", 0}, {"C Up", "righty", '-'}, {"C Down", "righty", '+'},
    {"C Left", "rightx", '-'}, {"C Right", "rightx", '+'}, {"D-Pad Up", "dpup", 0}, {"D-Pad Down", "dpdown", 0},
    {"D-Pad Left", "dpleft", 0}, {"D-Pad Right", "dpright", 0}, {"Stick Up", "lefty", '-'},
    {"Stick Down", "lefty", '+'}, {"Stick Left", "leftx", '-'}, {"Stick Right", "leftx", '+'},
};

const Binding *bindingFor(const QString &input)
{
    for (const Binding &binding : kLayout) {
        if (input == QLatin1String(binding.input))
            return &binding;
    }
    return nullptr;
}

// One SDL mapping input ("b3", "h0.1", "a2", "-a1", "a1~") as a mapping value for the side
// \a wanted ('+' for a button or trigger); nothing for a hat or what we cannot read.
std::optional<QString> valueOf(const QString &input, char wanted, bool *isHat)
{
    static const QRegularExpression button(QStringLiteral("^b(\\d{1,3})$"));
    static const QRegularExpression axis(QStringLiteral("^([+-]?)a(\\d{1,3})(~?)$"));
    if (input.startsWith(QLatin1Char('h'))) {
        *isHat = true;
        return std::nullopt;
    }
    if (const QRegularExpressionMatch match = button.match(input); match.hasMatch())
        return MappingValue::button(match.captured(1).toInt());
    if (const QRegularExpressionMatch match = axis.match(input); match.hasMatch()) {
        // A half axis names its own side; a whole one is pushed to the side wanted,
        // turned over when the mapping inverts it.
        char sign = match.captured(1).isEmpty() ? wanted : match.captured(1).at(0).toLatin1();
        if (!match.captured(3).isEmpty())
            sign = sign == '+' ? '-' : '+';
        return MappingValue::axis(match.captured(2).toInt(), sign);
    }
    return std::nullopt;
}

} // namespace

PadLayout::Result PadLayout::apply(const QString &controllerMapping, const QStringList &inputNames,
                                   const QStringList &current)
{
    QHash<QString, QString> elements;
    const QStringList fields = controllerMapping.split(QLatin1Char(','));
    // The GUID and the name come first.
    for (qsizetype i = 2; i < fields.size(); ++i) {
        const qsizetype colon = fields.at(i).indexOf(QLatin1Char(':'));
        if (colon > 0)
            elements.insert(fields.at(i).left(colon), fields.at(i).mid(colon + 1));
    }

    Result result;
    result.mapping = current;
    for (qsizetype row = 0; row < current.size(); ++row) {
        const Binding *binding = bindingFor(inputNames.value(row));
        if (!binding) {
            result.rows.append(Row::NotInLayout);
            continue;
        }
        const QString element = QLatin1String(binding->element);
        const char wanted = binding->sign ? binding->sign : '+';
        // One side of a stick may be bound on its own ("-lefty:b4").
        QString input = binding->sign ? elements.value(QLatin1Char(binding->sign) + element) : QString();
        if (input.isEmpty())
            input = elements.value(element);
        bool isHat = false;
        const std::optional<QString> value = input.isEmpty() ? std::nullopt : valueOf(input, wanted, &isHat);
        if (value)
            result.mapping[row] = *value;
        result.rows.append(value ? Row::Filled : isHat ? Row::Hat : Row::Missing);
    }
    return result;
}
