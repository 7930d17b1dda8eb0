#include "platform/PropertyList.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// libplist and our conversion recurse once per nesting level and a damaged file must not
// exhaust the stack; settings nest four deep, so this leaves plenty of room.
constexpr int kMaximumDepth = 128;
// Far above any settings file or resource; bounds what libplist is asked to hold.
constexpr qsizetype kMaximumSize = 16 * 1024 * 1024;

// A scan of the XML tags as libplist reads them: comments and CDATA end at their first
// closer, processing instructions and tags at the first unquoted one (double quotes only),
// a DOCTYPE also skips its bracketed subset, and only a close tag matching the innermost
// open one ends it. Where unsure the scan counts deeper, never shallower.
bool xmlNestingWithin(const QByteArray &xml, int limit)
{
    const char *p = xml.constData();
    const char *const end = p + xml.size();
    const auto startsWith = [&](std::string_view text) {
        return std::size_t(end - p) >= text.size() && std::memcmp(p, text.data(), text.size()) == 0;
    };
    // A NUL is never legal XML, and libplist aborts on a key holding one.
    if (std::memchr(p, 0, std::size_t(end - p)))
        return false;
    std::vector<std::string_view> open;
    while ((p = static_cast<const char *>(std::memchr(p, '<', std::size_t(end - p))))) {
        if (startsWith("<!--") || startsWith("<![CDATA[")) {
            const std::string_view closer = startsWith("<!--") ? "-->" : "]]>";
            p = std::search(p, end, closer.begin(), closer.end());
            if (p == end)
                return false;
            p += closer.size();
            continue;
        }
        const bool instruction = startsWith("<?");
        const bool doctype = startsWith("<!DOCTYPE");
        ++p;
        const bool closing = p < end && *p == '/';
        if (closing)
            ++p;
        const char *nameEnd = p;
        while (nameEnd < end && std::string_view(" \t\r\n/>").find(*nameEnd) == std::string_view::npos)
            ++nameEnd;
        const std::string_view name(p, std::size_t(nameEnd - p));
        bool quoted = false;
        bool plain = true;
        int brackets = 0;
        const char *tagEnd = nameEnd;
        for (; tagEnd < end; ++tagEnd) {
            const char c = *tagEnd;
            if (c == '"')
                quoted = !quoted;
            if (!quoted && c == '>' && brackets == 0 && (!instruction || tagEnd[-1] == '?'))
                break;
            if (!quoted && doctype && (c == '[' || (c == ']' && brackets > 0)))
                brackets += c == '[' ? 1 : -1;
            if (std::string_view(" \t\r\n").find(c) == std::string_view::npos)
                plain = false;
        }
        if (tagEnd == end)
            return false;
        const bool selfClosing = tagEnd > nameEnd && tagEnd[-1] == '/';
        p = tagEnd + 1;
        if (name != "array" && name != "dict" && name != "plist")
            continue;
        if (closing) {
            if (open.empty() || open.back() != name || !plain)
                return false;
            open.pop_back();
        } else if (!selfClosing) {
            open.push_back(name);
            if (open.size() > std::size_t(limit))
                return false;
        }
    }
    return true;
}

// A binary property list names its objects by index in an offset table; arrays, sets
// and dictionaries hold indices of others. The walk follows those references depth
// first, refusing cycles, references out of range and paths deeper than the limit.
class BinaryNestingScan
{
public:
    explicit BinaryNestingScan(const QByteArray &data)
        : m_data(reinterpret_cast<const unsigned char *>(data.constData()))
        , m_size(std::size_t(data.size()))
    {
    }

    bool within(int limit)
    {
        constexpr std::size_t kHeader = 8;
        constexpr std::size_t kTrailer = 32;
        if (m_size < kHeader + kTrailer)
            return false;
        const std::size_t trailer = m_size - kTrailer;
        m_offsetSize = m_data[trailer + 6];
        m_refSize = m_data[trailer + 7];
        const std::uint64_t objects = number(trailer + 8, 8);
        const std::uint64_t top = number(trailer + 16, 8);
        m_offsetTable = number(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || objects == 0
            || top >= objects || m_offsetTable >= trailer || objects > (trailer - m_offsetTable) / m_offsetSize)
            return false;
        m_state.assign(std::size_t(objects), Unvisited);
        m_limit = limit;
        return visit(top, 0);
    }

private:
    enum State : unsigned char { Unvisited, Open, Done };

    std::uint64_t number(std::size_t at, std::size_t bytes) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value = value << 8 | m_data[at + i];
        return value;
    }

    // The type nibble, element count and first byte after the count of one object.
    bool object(std::uint64_t index, int &type, std::uint64_t &count, std::uint64_t &start) const
    {
        const std::uint64_t at = number(std::size_t(m_offsetTable + index * m_offsetSize), m_offsetSize);
        if (at >= m_offsetTable)
            return false;
        type = m_data[at] >> 4;
        count = m_data[at] & 0xF;
        start = at + 1;
        if (count == 0xF && type >= 0x4) {
            // The count follows as an integer object of 2^n bytes.
            const unsigned char intMarker = m_data[start];
            const std::size_t bytes = std::size_t(1) << (intMarker & 0xF);
            if (intMarker >> 4 != 0x1 || bytes > 8 || start + 1 + bytes > m_offsetTable)
                return false;
            count = number(std::size_t(start + 1), bytes);
            start += 1 + bytes;
        }
        return true;
    }

    // libplist aborts on a dictionary key holding a NUL.
    bool keyWithoutNul(std::uint64_t index) const
    {
        int type = 0;
        std::uint64_t count = 0;
        std::uint64_t start = 0;
        if (!object(index, type, count, start))
            return false;
        const std::uint64_t unit = type == 0x6 ? 2 : 1;
        if (count > (m_offsetTable - start) / unit)
            return false;
        for (std::uint64_t i = 0; i < count; ++i) {
            if (m_data[start + i * unit] == 0 && (unit == 1 || m_data[start + i * unit + 1] == 0))
                return false;
        }
        return true;
    }

    // Recursion here is bounded by the limit, which is the point of the scan.
    bool visit(std::uint64_t index, int depth)
    {
        if (m_state[index] == Done)
            return true;
        if (m_state[index] == Open || depth > m_limit)
            return false;
        int type = 0;
        std::uint64_t count = 0;
        std::uint64_t refs = 0;
        if (!object(index, type, count, refs))
            return false;
        if (type != 0xA && type != 0xC && type != 0xD) {
            m_state[index] = Done;
            return true;
        }
        const std::uint64_t keys = type == 0xD ? count : 0;
        if (type == 0xD)
            count *= 2;
        if (count > (m_offsetTable - refs) / m_refSize)
            return false;
        m_state[index] = Open;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t child = number(std::size_t(refs + i * m_refSize), m_refSize);
            if (child >= m_state.size() || (i < keys && !keyWithoutNul(child)) || !visit(child, depth + 1))
                return false;
        }
        m_state[index] = Done;
        return true;
    }

    const unsigned char *m_data;
    std::size_t m_size;
    std::size_t m_offsetSize = 0;
    std::size_t m_refSize = 0;
    std::uint64_t m_offsetTable = 0;
    std::vector<State> m_state;
    int m_limit = 0;
};

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return reference;
}

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QVariant toVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Negative integers arrive as their two's complement.
        return qlonglong(static_cast<int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        // By pointer and length: libplist's copying getter aborts on a string holding a NUL.
        uint64_t length = 0;
        const char *value = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(value, qsizetype(length));
    }
    case PLIST_DATA: {
        char *value = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &value, &length);
        QByteArray data(value, qsizetype(length));
        free(value);
        return data;
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return referenceDate().addMSecs(qint64(seconds) * 1000 + microseconds / 1000);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        list.reserve(size);
        // Items with no form here (a key or UID out of place) are left out, so that what
        // was read can always be written back.
        for (uint32_t i = 0; i < size; ++i) {
            if (QVariant item = toVariant(plist_array_get_item(node, i)); item.isValid())
                list.append(item);
        }
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            if (!key)
                break;
            if (QVariant item = toVariant(value); item.isValid())
                map.insert(QString::fromUtf8(key), item);
            free(key);
        }
        free(iter);
        return map;
    }
    default:
        return {};
    }
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 msecs = referenceDate().msecsTo(value.toDateTime());
        // Floor division keeps dates before 2001 consistent.
        qint64 seconds = msecs / 1000;
        qint64 rest = msecs % 1000;
        if (rest < 0) {
            seconds -= 1;
            rest += 1000;
        }
        // Beyond the format's range (a damaged file can hold such a date) the nearest date
        // it can hold is written, rather than leaving the whole list unwritable.
        if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max()) {
            seconds = std::clamp<qint64>(seconds, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
            rest = 0;
        }
        return plist_new_date(int32_t(seconds), int32_t(rest * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList()) {
            plist_t node = fromVariant(item);
            if (!node) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, node);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t node = fromVariant(it.value());
            if (!node) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

} // namespace

std::optional<QVariant> PropertyList::fromData(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > kMaximumSize)
        return std::nullopt;
    plist_t root = nullptr;
    if (plist_is_binary(data.constData(), uint32_t(data.size()))) {
        if (!BinaryNestingScan(data).within(kMaximumDepth))
            return std::nullopt;
        plist_from_bin(data.constData(), uint32_t(data.size()), &root);
    } else {
        if (!xmlNestingWithin(data, kMaximumDepth))
            return std::nullopt;
        plist_from_xml(data.constData(), uint32_t(data.size()), &root);
    }
    if (!root)
        return std::nullopt;
    PlistPtr guard(root);
    return toVariant(root);
}

QByteArray PropertyList::toXml(const QVariant &value)
{
    plist_t root = fromVariant(value);
    if (!root)
        return {};
    PlistPtr guard(root);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    QByteArray result(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return result;
}
