#pragma once

#include <array>
#include <streambuf>

// A buffered output stream buffer onto a file descriptor that remembers why a write failed
// (errno), so that the program can say why its output was lost: a full disk, a closed pipe.
class DescriptorOutput : public std::streambuf
{
public:
    explicit DescriptorOutput(int descriptor);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput &) = delete;
    DescriptorOutput &operator=(const DescriptorOutput &) = delete;

    // The errno of the first write that failed; 0 while none has.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool writeOut();

    int m_descriptor;
    int m_error = 0;
    std::array<char, 8192> m_buffer{};
};
