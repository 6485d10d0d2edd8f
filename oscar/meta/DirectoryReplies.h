// Directory replies (meta reply type 0x07DA): the result byte every one
// starts with, and the bodies the information and search windows read.
//
// Strings are ICQ meta strings: a 16-bit little-endian length that counts a
// terminating zero, then the bytes, decoded with the process-wide code page.
// A reply whose result byte is not 0x0A, or whose fields do not all fit in
// the reply, or one of whose strings lacks its terminating zero, carries no
// data: Success() is false and every field keeps its default.
#pragma once

#include <cstdint>
#include <string>

#include "oscar/meta/MetaReply.h"
#include "platform/base/Types.h"

namespace oscar {

constexpr std::uint8_t kDirectoryResultSuccess = 0x0A;

// Reads one meta string's bytes (without the zero; up to the first zero when
// one occurs earlier). False when the length runs past the reader's end or
// the last counted byte is not zero; a length of 0 gives an empty string.
bool ReadMetaString(ByteReader& reader, std::string& out);

// Basic information (0x00C8).
struct BasicInfo {
    WideString nickname;
    WideString firstName;
    WideString lastName;
    WideString email;
    WideString city;
    WideString state;
    WideString phone;
    WideString fax;
    WideString street;
    WideString mobile;
    WideString zip;
    std::uint16_t country = 0;
    std::uint8_t timeZone = 0;
    bool authorisationRequired = false;
    std::uint8_t webAware = 0;
    std::uint8_t directConnection = 0;
    std::uint8_t publishEmail = 0;
};

// More information (0x00DC); the fields after the birthday are not read.
struct MoreInfo {
    std::uint16_t age = 0;
    std::uint8_t gender = 0;  // 1 female, 2 male, anything else unknown
    WideString homepage;
    std::uint16_t birthYear = 0;
    std::uint8_t birthMonth = 0;
    std::uint8_t birthDay = 0;
};

// One search hit (0x01A4, 0x01AE).
struct SearchHit {
    std::uint32_t uin = 0;
    WideString nickname;
    WideString firstName;
    WideString lastName;
    WideString email;
    bool authorisationRequired = false;
    bool online = false;  // the online state was exactly 1
    std::uint8_t gender = 0;
    std::uint16_t age = 0;
};

class DirectoryReply : public MetaReply {
public:
    explicit DirectoryReply(MetaReplyKind kind) : MetaReply(kind) {}

    // The result byte (0 when the body was empty).
    std::uint8_t ResultByte() const { return m_result; }
    // Result byte 0x0A and the kind's fields read in full.
    bool Success() const { return m_success; }

protected:
    void DecodeBody(ByteReader& body) final;
    // Reads the fields after the result byte; called only for 0x0A. The
    // five kinds no window reads keep their body undecoded.
    virtual bool DecodeFields(ByteReader&) { return true; }

private:
    std::uint8_t m_result = 0;
    bool m_success = false;
};

class BasicInfoReply : public DirectoryReply {
public:
    BasicInfoReply() : DirectoryReply(MetaReplyKind::BasicInfo) {}
    const BasicInfo& Info() const { return m_info; }

protected:
    bool DecodeFields(ByteReader& reader) override;

private:
    BasicInfo m_info;
};

class MoreInfoReply : public DirectoryReply {
public:
    MoreInfoReply() : DirectoryReply(MetaReplyKind::MoreInfo) {}
    const MoreInfo& Info() const { return m_info; }

protected:
    bool DecodeFields(ByteReader& reader) override;

private:
    MoreInfo m_info;
};

class NotesReply : public DirectoryReply {
public:
    NotesReply() : DirectoryReply(MetaReplyKind::Notes) {}
    const WideString& Notes() const { return m_notes; }

protected:
    bool DecodeFields(ByteReader& reader) override;

private:
    WideString m_notes;
};

// Both search-result kinds share the body; IsLast() tells 0x01AE.
class SearchResultReply : public DirectoryReply {
public:
    explicit SearchResultReply(bool last)
        : DirectoryReply(last ? MetaReplyKind::LastSearchResult : MetaReplyKind::SearchResult)
    {
    }
    bool IsLast() const { return Kind() == MetaReplyKind::LastSearchResult; }
    const SearchHit& Hit() const { return m_hit; }

protected:
    bool DecodeFields(ByteReader& reader) override;

private:
    SearchHit m_hit;
};

}  // namespace oscar
