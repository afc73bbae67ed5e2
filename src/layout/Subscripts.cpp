#include "Subscripts.h"

#include "Item.h"

std::string Subscripts::nameOf(const Placement &placement)
{
    while (!m_open.empty() && m_open.back().depth >= placement.depth)
        m_open.pop_back();
    if (placement.occurrence)
        m_open.push_back({placement.depth, placement.occurrence});
    std::string name = placement.item->name.empty() ? "FILLER" : placement.item->name;
    for (std::size_t i = 0; i < m_open.size(); ++i)
        name += (i == 0 ? "(" : ",") + std::to_string(m_open[i].occurrence);
    return m_open.empty() ? name : name + ")";
}
