#include "FieldAlternatives.h"

#include "Item.h"
#include "Layout.h"

void FieldAlternatives::choose(const Item &item)
{
    for (const Item *at = &item; at; at = at->parent) {
        const Item *redefined = m_layout->redefined(*at);
        m_chosen[redefined ? redefined : at] = at;
    }
}

bool FieldAlternatives::stands(const Item &item) const
{
    for (const Item *at = &item; at; at = at->parent) {
        const Item *redefined = m_layout->redefined(*at);
        const auto chosen = m_chosen.find(redefined ? redefined : at);
        const Item *standing =
            chosen == m_chosen.end() ? (redefined ? redefined : at) : chosen->second;
        if (standing != at)
            return false;
    }
    return true;
}
