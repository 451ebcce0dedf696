#pragma once
// Ordered collections that platform objects hand out, walked with an
// iterator the caller creates and deletes.
#include <memory>
#include <utility>
#include <vector>

// Steps through a collection; next() gives null after the last element.
template <class T>
class Iterator {
public:
    virtual ~Iterator() = default;
    virtual T* next() = 0;
};

template <class T>
class OrderedCollection {
public:
    virtual ~OrderedCollection() = default;
    virtual int count() const = 0;
    // A new iterator at the first element; the caller deletes it.
    virtual Iterator<T>* createIterator() const = 0;
};

// A collection over pointers it does not own.
template <class T>
class VectorCollection final : public OrderedCollection<T> {
public:
    explicit VectorCollection(std::vector<T*> elements) : m_elements(std::move(elements)) {}
    int count() const override { return static_cast<int>(m_elements.size()); }
    Iterator<T>* createIterator() const override { return new Walk(m_elements); }

private:
    // Holds its own copy, so it stays usable after the collection is gone.
    class Walk final : public Iterator<T> {
    public:
        explicit Walk(std::vector<T*> elements) : m_elements(std::move(elements)) {}
        T* next() override { return m_at < m_elements.size() ? m_elements[m_at++] : nullptr; }

    private:
        std::vector<T*> m_elements;
        std::size_t m_at = 0;
    };

    std::vector<T*> m_elements;
};
