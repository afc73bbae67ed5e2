#pragma once

#include <unordered_map>

class Layout;
struct Item;

// Which alternative of each REDEFINES stands where they overlap: the first, the item redefined,
// until another is chosen. What stands is painted, named under the cursor and compared.
class FieldAlternatives
{
public:
    explicit FieldAlternatives(const Layout &layout) : m_layout(&layout) {}

    // Makes item stand, and every alternative it lies in.
    void choose(const Item &item);
    // Whether item, and every alternative it lies in, stands.
    bool stands(const Item &item) const;

private:
    const Layout *m_layout;
    std::unordered_map<const Item *, const Item *> m_chosen; // by the item redefined
};
