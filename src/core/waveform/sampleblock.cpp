#include "core/waveform/sampleblock.h"

#include "core/plist/plistptr.h"

#include <cmath>

WaveformPoints SampleBlock::toWaveformPoints() const
{
    WaveformPoints points;
    points.reserve(m_points.size());
    for (const SamplePoint& p : m_points)
        points.push_back(p.cgSampPoint);
    return points;
}

QByteArray SampleBlock::toArchive() const
{
    PlistPtr root(plist_new_dict());
    for (size_t i = 0; i < m_points.size(); ++i) {
        plist_t point = plist_new_dict();
        plist_dict_set_item(point, "x", plist_new_real(m_points[i].cgSampPoint.x));
        plist_dict_set_item(point, "y", plist_new_real(m_points[i].cgSampPoint.y));
        plist_dict_set_item(root.get(), ("p" + std::to_string(i)).c_str(), point);
    }
    plist_dict_set_item(root.get(), "Capability", plist_new_real(m_capability));
    return plistio::toXml(root.get());
}

std::optional<SampleBlock> SampleBlock::fromArchive(const QByteArray& data)
{
    const PlistPtr root = plistio::parse(data);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    plist_t capabilityNode = plist_dict_get_item(root.get(), "Capability");
    if (capabilityNode == nullptr || plist_get_node_type(capabilityNode) != PLIST_REAL)
        return std::nullopt;
    double capability = 0.0;
    plist_get_real_val(capabilityNode, &capability);
    if (!(capability >= 0.0) || capability > 1e8)
        return std::nullopt;

    SampleBlock block;
    const auto count = static_cast<size_t>(std::ceil(capability));
    block.m_points.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        plist_t point = plist_dict_get_item(root.get(), ("p" + std::to_string(i)).c_str());
        if (point == nullptr || plist_get_node_type(point) != PLIST_DICT)
            return std::nullopt;
        double x = 0.0;
        double y = 0.0;
        plist_t xNode = plist_dict_get_item(point, "x");
        plist_t yNode = plist_dict_get_item(point, "y");
        if (xNode == nullptr || yNode == nullptr || plist_get_node_type(xNode) != PLIST_REAL
            || plist_get_node_type(yNode) != PLIST_REAL)
            return std::nullopt;
        plist_get_real_val(xNode, &x);
        plist_get_real_val(yNode, &y);
        block.m_points.push_back(SamplePoint { { static_cast<float>(x), static_cast<float>(y) } });
    }
    block.m_capability = capability;
    return block;
}
