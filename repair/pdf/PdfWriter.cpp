// SPDX-License-Identifier: MIT
#include "PdfWriter.h"

#include "AtomicSink.h"

#include <algorithm>
#include <cstdio>

namespace repair {

PdfWriter::PdfWriter(AtomicSink& sink, const std::string& version)
    : m_sink(sink)
{
    // The binary comment tells transfer programs that the file is not text.
    Write("%PDF-" + version + "\n%\xE2\xE3\xCF\xD3\n");
}

void PdfWriter::Begin(uint32_t num, uint16_t gen)
{
    m_offsets.emplace_back(num, gen, m_sink.Size());
    Write(std::to_string(num) + ' ' + std::to_string(gen) + " obj\n");
}

void PdfWriter::Write(std::string_view text)
{
    m_sink.Write(text.data(), text.size());
}

void PdfWriter::Write(const void* bytes, size_t count)
{
    m_sink.Write(bytes, count);
}

void PdfWriter::End()
{
    Write("\nendobj\n");
}

uint64_t PdfWriter::Offset() const
{
    return m_sink.Size();
}

void PdfWriter::Patch(uint64_t at, std::string_view text)
{
    m_sink.WriteAt(at, text.data(), text.size());
}

void PdfWriter::Finish(const std::string& entries)
{
    std::sort(m_offsets.begin(), m_offsets.end());
    const uint64_t xref = m_sink.Size();
    Write("xref\n0 1\n0000000000 65535 f \n");
    uint32_t size = 1;
    char line[32];
    for (size_t i = 0; i < m_offsets.size();) {
        size_t run = i + 1;
        while (run < m_offsets.size() && std::get<0>(m_offsets[run]) == std::get<0>(m_offsets[run - 1]) + 1)
            ++run;
        Write(std::to_string(std::get<0>(m_offsets[i])) + ' ' + std::to_string(run - i) + '\n');
        for (size_t k = i; k < run; ++k) {
            std::snprintf(line, sizeof line, "%010llu %05u n \n",
                static_cast<unsigned long long>(std::get<2>(m_offsets[k])),
                unsigned(std::get<1>(m_offsets[k])));
            Write(line);
        }
        size = std::get<0>(m_offsets[run - 1]) + 1;
        i = run;
    }
    Write("trailer\n<</Size " + std::to_string(size) + '\n' + entries + ">>\nstartxref\n"
        + std::to_string(xref) + "\n%%EOF\n");
}

} // namespace repair
