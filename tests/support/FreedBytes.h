#pragma once
// What memory held when it went back to the heap. A program that links FreedBytes.cpp gets an
// operator new and delete of its own; while a FreedBytes lives, every block freed (on any
// thread) is copied before it is released, so a test sees whether a secret was wiped first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class FreedBytes {
  public:
    FreedBytes();  // starts recording; one recorder at a time
    ~FreedBytes(); // stops it
    FreedBytes(const FreedBytes&) = delete;
    FreedBytes& operator=(const FreedBytes&) = delete;

    std::size_t Blocks() const;
    // How many freed blocks still held these bytes somewhere.
    int Holding(const void* bytes, std::size_t size) const;
    // A text's bytes, narrow or wide (pass literals: a string on the heap would be recorded).
    int Holding(const char* text) const;
    int Holding(const wchar_t* text) const;
    // What the block at `address` held when it was freed last; empty when it was not.
    void Watch(const void* address) { m_watched = reinterpret_cast<std::uintptr_t>(address); }
    std::string Watched() const;

    // Called by the program's operator delete.
    void Take(const void* address, const void* bytes, std::size_t size);

  private:
    std::vector<std::pair<std::uintptr_t, std::string>> m_blocks;
    std::uintptr_t m_watched = 0;
};
