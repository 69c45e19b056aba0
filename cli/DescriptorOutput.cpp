#include "cli/DescriptorOutput.h"

#include <unistd.h>

#include <cerrno>

DescriptorOutput::DescriptorOutput(int descriptor) : m_descriptor(descriptor)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

DescriptorOutput::~DescriptorOutput()
{
    writeOut();
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c)
{
    if (!writeOut())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

int DescriptorOutput::sync()
{
    return writeOut() ? 0 : -1;
}

// Writes what the buffer holds; false, with the reason kept, when some of it could not be
// written. What could not be written is dropped: once output is lost, the run says so and ends.
bool DescriptorOutput::writeOut()
{
    const char *next = pbase();
    while (m_error == 0 && next < pptr()) {
        const ssize_t written = ::write(m_descriptor, next, static_cast<std::size_t>(pptr() - next));
        if (written > 0)
            next += written;
        else if (written < 0 && errno != EINTR)
            m_error = errno;
        else if (written == 0)
            m_error = EIO;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}
