#pragma once
// Inter-process message names and their numbers. A name is registered once and keeps its
// number for the life of the process; registering the same name again (compared without regard
// to ASCII case) gives the same number. Numbers start at 0xC000 so they never meet the fixed
// message numbers of the program (1025, 3089, ...). Safe to use from any thread.
#include <map>
#include <mutex>
#include <string>

namespace nq::app {

class CMessageRegistry {
public:
    static constexpr unsigned kFirstNumber = 0xC000;

    static CMessageRegistry& Instance();

    // Returns the name's number, registering it on first use; 0 for an empty name.
    unsigned Register(const std::string& name);
    // The number of a registered name, else 0.
    unsigned Find(const std::string& name) const;
    // The name of a registered number as first registered, else "".
    std::string Name(unsigned number) const;

private:
    mutable std::mutex m_lock;
    std::map<std::string, unsigned> m_numbers; // key: lower-case name
    std::map<unsigned, std::string> m_names;
    unsigned m_next = kFirstNumber;
};

} // namespace nq::app
