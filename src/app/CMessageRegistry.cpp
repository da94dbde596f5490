#include "app/CMessageRegistry.h"

#include <algorithm>
#include <cctype>

namespace nq::app {
namespace {

std::string Folded(const std::string& name)
{
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

} // namespace

CMessageRegistry& CMessageRegistry::Instance()
{
    static CMessageRegistry registry;
    return registry;
}

unsigned CMessageRegistry::Register(const std::string& name)
{
    if (name.empty())
        return 0;
    std::lock_guard<std::mutex> guard(m_lock);
    std::string key = Folded(name);
    auto found = m_numbers.find(key);
    if (found != m_numbers.end())
        return found->second;
    unsigned number = m_next++;
    m_numbers.emplace(key, number);
    m_names.emplace(number, name);
    return number;
}

unsigned CMessageRegistry::Find(const std::string& name) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_numbers.find(Folded(name));
    return found == m_numbers.end() ? 0 : found->second;
}

std::string CMessageRegistry::Name(unsigned number) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_names.find(number);
    return found == m_names.end() ? std::string() : found->second;
}

} // namespace nq::app
