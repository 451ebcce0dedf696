#pragma once
// An ordered list of tags, duplicates kept: what platform calls that work on
// many objects at once take and hand back.
#include "tag/tag.hxx"

#include <vector>

class TagList {
public:
    TagList() = default;

    void add(unsigned int tag) { m_tags.push_back(tag); }
    int count() const { return static_cast<int>(m_tags.size()); }
    bool empty() const { return m_tags.empty(); }
    // The tag at `index`; the null tag outside 0 .. count() - 1.
    unsigned int operator[](int index) const {
        return index >= 0 && index < count() ? m_tags[static_cast<std::size_t>(index)] : NULLTAG;
    }
    const std::vector<unsigned int>& tags() const { return m_tags; }
    auto begin() const { return m_tags.begin(); }
    auto end() const { return m_tags.end(); }

private:
    std::vector<unsigned int> m_tags;
};
