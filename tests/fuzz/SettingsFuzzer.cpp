// libFuzzer target: the property-list loader the settings store reads its file with.
#include "platform/PropertyList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<QVariant> value = PropertyList::fromData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return 0;
    // Settings that loaded must save and load again, or every later change would be lost.
    const QByteArray saved = PropertyList::toXml(*value);
    const std::optional<QVariant> reread = PropertyList::fromData(saved);
    if (saved.isEmpty() || !reread || reread->toMap().keys() != value->toMap().keys())
        std::abort();
    return 0;
}
