#pragma once
// SMTP replies (RFC 5321, section 4.2): one or more lines "NNN-text" ending
// with a line "NNN text" or "NNN", all with the same three-digit code.
#include <string>
#include <string_view>
#include <vector>

struct SmtpReply {
    int code = 0;
    std::vector<std::string> lines;  // as received, without CR LF

    bool Positive() const { return code >= 200 && code < 400; }
    // 5xx: the server will not do it, whatever happens.
    bool PermanentFailure() const { return code >= 500; }
    // The text of the lines after their codes, joined by spaces.
    std::string Text() const;
};

class SmtpReplyReader {
public:
    // Takes one line (without CR LF); true when it ended a reply, which Reply()
    // then holds until the next line is fed. A line that breaks the protocol
    // (no code, codes that differ, a reply over 100 lines) sets Failed().
    bool Feed(std::string_view line);
    bool Failed() const { return failed_; }
    const SmtpReply& Reply() const { return reply_; }

private:
    SmtpReply reply_;
    bool complete_ = false;
    bool failed_ = false;
};
