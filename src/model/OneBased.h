// Fixed-size arrays indexed from 1, the way the label set numbers its entries, faces and keys.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace sw::model {

template <typename T, int N>
class OneBased {
public:
    static constexpr int kSize = N;

    T& operator[](int i) {
        assert(i >= 1 && i <= N);
        return m_items[static_cast<std::size_t>(i - 1)];
    }
    const T& operator[](int i) const {
        assert(i >= 1 && i <= N);
        return m_items[static_cast<std::size_t>(i - 1)];
    }
    static constexpr int size() { return N; }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    bool operator==(const OneBased&) const = default;

private:
    std::array<T, N> m_items{};
};

}  // namespace sw::model
