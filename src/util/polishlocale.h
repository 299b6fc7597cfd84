#pragma once
// The program's own Polish formatting data. Texts shown to the user never
// depend on the system's locale settings: the separators and the names of
// days and months come from here.
#include <array>

namespace polish {

inline constexpr wchar_t DecimalSeparator = L',';
inline constexpr wchar_t ThousandSeparator = L' ';
// Set by the program for every date pattern: "/" in a pattern prints as "-".
inline constexpr wchar_t DateSeparator = L'-';
inline constexpr wchar_t TimeSeparator = L':';

// Sunday first, as the weekday of a day number counts.
inline constexpr std::array<const wchar_t*, 7> WeekdayNames = {
    L"niedziela", L"poniedziałek", L"wtorek", L"środa", L"czwartek", L"piątek", L"sobota"};
inline constexpr std::array<const wchar_t*, 7> ShortWeekdayNames = {
    L"niedz.", L"pon.", L"wt.", L"śr.", L"czw.", L"pt.", L"sob."};
// Months 1..12 at indexes 0..11.
inline constexpr std::array<const wchar_t*, 12> MonthNames = {
    L"styczeń", L"luty",     L"marzec",      L"kwiecień", L"maj",      L"czerwiec",
    L"lipiec",  L"sierpień", L"wrzesień",    L"październik", L"listopad", L"grudzień"};
inline constexpr std::array<const wchar_t*, 12> ShortMonthNames = {
    L"sty", L"lut", L"mar", L"kwi", L"maj", L"cze", L"lip", L"sie", L"wrz", L"paź", L"lis", L"gru"};

// Month names as they follow a day number ("21 grudnia").
inline constexpr std::array<const wchar_t*, 12> GenitiveMonthNames = {
    L"stycznia", L"lutego",   L"marca",     L"kwietnia",     L"maja",      L"czerwca",
    L"lipca",    L"sierpnia", L"września",  L"października", L"listopada", L"grudnia"};

// Patterns behind "ddddd", "dddddd", "t" and "tt" of the date formatter.
inline constexpr const wchar_t* ShortDatePattern = L"yyyy/mm/dd";
inline constexpr const wchar_t* LongDatePattern = L"d mmmmm yyyy";
inline constexpr const wchar_t* ShortTimePattern = L"hh:nn";
inline constexpr const wchar_t* LongTimePattern = L"hh:nn:ss";

}  // namespace polish
