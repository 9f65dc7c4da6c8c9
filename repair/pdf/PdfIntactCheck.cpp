// SPDX-License-Identifier: MIT
#include "PdfIntactCheck.h"

#include <qpdf/Constants.h>
#include <qpdf/InputSource.hh>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

namespace repair {

namespace {

// The source as the library reads it; a small buffer keeps its byte-at-a-time reads cheap.
class ReaderInput : public InputSource {
public:
    explicit ReaderInput(ByteReader& source)
        : m_source(source)
        , m_size(qpdf_offset_t(source.Size()))
    {
    }
    qpdf_offset_t findAndSkipNextEOL() override
    {
        qpdf_offset_t eol = m_size;
        char c = 0;
        while (read(&c, 1) == 1) {
            if (c == '\n' || c == '\r') {
                eol = m_pos - 1;
                while (read(&c, 1) == 1)
                    if (c != '\n' && c != '\r') {
                        unreadCh(c);
                        break;
                    }
                return eol;
            }
        }
        return eol;
    }
    const std::string& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_pos; }
    void seek(qpdf_offset_t offset, int whence) override
    {
        qpdf_offset_t to = offset;
        if (whence == SEEK_CUR)
            to = m_pos + offset;
        else if (whence == SEEK_END)
            to = m_size + offset;
        if (to < 0)
            throw std::runtime_error("seek before the start of the file");
        m_pos = to;
    }
    void rewind() override { m_pos = 0; }
    size_t read(char* buffer, size_t length) override
    {
        last_offset = m_pos;
        size_t done = 0;
        while (done < length && m_pos < m_size) {
            if (m_pos < m_bufferAt || m_pos >= m_bufferAt + qpdf_offset_t(m_buffered)) {
                m_bufferAt = m_pos;
                m_buffered = m_source.ReadAt(uint64_t(m_pos), m_buffer, sizeof m_buffer);
                if (m_buffered == 0)
                    break;
            }
            const size_t offset = size_t(m_pos - m_bufferAt);
            const size_t n = std::min(length - done, m_buffered - offset);
            std::memcpy(buffer + done, m_buffer + offset, n);
            done += n;
            m_pos += qpdf_offset_t(n);
        }
        return done;
    }
    void unreadCh(char) override
    {
        if (m_pos > 0)
            --m_pos;
    }

private:
    ByteReader& m_source;
    qpdf_offset_t m_size;
    qpdf_offset_t m_pos = 0;
    std::string m_name = "source";
    char m_buffer[64 * 1024];
    qpdf_offset_t m_bufferAt = 0;
    size_t m_buffered = 0;
};

class ContentCheck : public QPDFObjectHandle::ParserCallbacks {
public:
    void handleObject(QPDFObjectHandle) override { }
    void handleEOF() override { }
};

} // namespace

PdfCheckResult CheckPdf(ByteReader& source)
{
    PdfCheckResult result;
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    try {
        QPDF pdf;
        pdf.setLogger(logger);
        pdf.setSuppressWarnings(true);
        pdf.setAttemptRecovery(false);
        pdf.processInputSource(std::make_shared<ReaderInput>(source));
        result.encrypted = pdf.isEncrypted();
        if (pdf.anyWarnings()) {
            result.problem = "the file's structure does not read cleanly";
            return result;
        }
        QPDFWriter writer(pdf);
        Pl_Discard discard;
        writer.setOutputPipeline(&discard);
        writer.setDecodeLevel(qpdf_dl_generalized);
        writer.write();
        if (pdf.anyWarnings()) {
            result.problem = "an object or a stream does not read cleanly";
            return result;
        }
        ContentCheck contents;
        for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            page.parseContents(&contents);
            ++result.pages;
        }
        if (pdf.anyWarnings()) {
            result.problem = "a page's contents do not read cleanly";
            return result;
        }
        result.sound = true;
    } catch (const QPDFExc& e) {
        result.needsPassword = e.getErrorCode() == qpdf_e_password;
        result.problem = e.getMessageDetail();
    } catch (const std::exception& e) {
        result.problem = e.what();
    }
    return result;
}

} // namespace repair
