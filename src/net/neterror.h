#pragma once
// Why a network operation did not succeed. The numbers are part of what the
// user sees ("17: Nie udało się pobrać danych!"), so they never change.
#include <string>

enum class NetError : int {
    None = 0,
    Aborted = 1,            // stopped by the program (Abort)
    BadAddress = 2,         // the URL, host or mailbox cannot be used
    HostNotFound = 3,       // the name did not resolve
    ConnectFailed = 4,      // refused or unreachable
    ConnectTimeout = 5,     // no connection within the connect timeout
    IdleTimeout = 6,        // the peer went silent for longer than allowed
    ConnectionLost = 7,     // closed or reset before the exchange was complete
    SecureChannel = 8,      // the TLS handshake or a TLS record failed
    Certificate = 9,        // the server's certificate did not verify
    BadResponse = 10,       // a reply that breaks the protocol
    HttpStatus = 11,        // an HTTP status other than 200
    TooManyRedirects = 12,
    InsecureRedirect = 13,  // from https:// down to http://
    TooLarge = 14,          // a body above the client's limit
    Truncated = 15,         // a body cut short (length not reached, last chunk missing)
    Busy = 16,              // the client is still running a request
    Refused = 17,           // the mail server refused a command
    HostNotAllowed = 18,    // the address lies outside what the process allows
    System = 19,            // the platform failed (sockets, memory)
};

// A Polish sentence saying what happened, for messages and logs.
std::wstring NetErrorText(NetError error);
