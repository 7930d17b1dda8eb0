#include "input/MappingValue.h"

namespace MappingValue {

QString key(int keyNumber)
{
    return QStringLiteral("key(%1)").arg(keyNumber);
}

QString button(int buttonNumber)
{
    return QStringLiteral("button(%1)").arg(buttonNumber);
}

QString axis(int axisNumber, char sign)
{
    return QStringLiteral("axis(%1%2)").arg(axisNumber).arg(QLatin1Char(sign));
}

} // namespace MappingValue
