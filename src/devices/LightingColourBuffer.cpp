#include "devices/LightingColourBuffer.h"

namespace nq {

void LightingColourBuffer::Resize(int count)
{
    if (count < 0)
        count = 0;
    if (count > kCapacity)
        count = kCapacity;
    for (auto& word : m_words)
        word.store(0, std::memory_order_relaxed);
    m_size.store(count, std::memory_order_relaxed);
}

void LightingColourBuffer::Set(int index, LedWord word)
{
    if (index >= 0 && index < Size())
        m_words[size_t(index)].store(word, std::memory_order_relaxed);
}

LedWord LightingColourBuffer::Get(int index) const
{
    if (index < 0 || index >= Size())
        return 0;
    return m_words[size_t(index)].load(std::memory_order_relaxed);
}

void LightingColourBuffer::Fill(LedWord word)
{
    const int size = Size();
    for (int i = 0; i < size; ++i)
        m_words[size_t(i)].store(word, std::memory_order_relaxed);
}

} // namespace nq
