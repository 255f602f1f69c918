#pragma once

// Every key of the settings store, with the default a reader supplies when the key is absent.
// An empty default means "computed by the reader" (a centred window edge).
struct SettingKey
{
    const char *key;
    const char *defaultText;
};

namespace Key {
// Start-up and pop-up menu (main window, Options, splash)
inline constexpr SettingKey ShowSplash { "1901", "1" };
inline constexpr SettingKey ShowToolBar { "1902", "1" };
inline constexpr SettingKey AutoPopUpMenu { "1128", "1" };
inline constexpr SettingKey PopUpDelay { "1345", "6" };
// Launcher toolbar
inline constexpr SettingKey ToolBarLeft { "258", "" };
inline constexpr SettingKey ToolBarTop { "128", "100" };
inline constexpr SettingKey ToolBarOnTop { "112", "1" };
// Options dialog
inline constexpr SettingKey OptionsLeft { "1321", "" };
inline constexpr SettingKey OptionsTop { "1312", "" };
// Calendar
inline constexpr SettingKey CalendarLeft { "2121", "" };
inline constexpr SettingKey CalendarTop { "2112", "" };
inline constexpr SettingKey CalendarColumns { "2211", "3" };
inline constexpr SettingKey CalendarRows { "2212", "2" };
inline constexpr SettingKey CalendarOnTop { "2222", "0" };
// Planner
inline constexpr SettingKey PlannerLeft { "1441", "" };
inline constexpr SettingKey PlannerTop { "4411", "" };
// Reminders
inline constexpr SettingKey ReminderLeft { "2525", "" };
inline constexpr SettingKey ReminderTop { "2552", "" };
inline constexpr SettingKey ReminderHeight { "2526", "6200" };
inline constexpr SettingKey ReminderPast { "2252", "1" };
inline constexpr SettingKey ReminderNone { "2225", "0" };
inline constexpr SettingKey ReminderShowAs { "ReminderShowAs", "0" }; // box and notification, box, notification
inline constexpr SettingKey ReminderOneByOne { "ReminderOneByOne", "0" };
inline constexpr SettingKey ReminderSnooze { "ReminderSnooze", "1" }; // the snooze time last chosen
// ClipKeeper
inline constexpr SettingKey ClipLeft { "3311", "" };
inline constexpr SettingKey ClipTop { "3313", "" };
inline constexpr SettingKey ClipHeight { "3382", "4180" };
inline constexpr SettingKey ClipOnTop { "212", "0" };
// Calculator
inline constexpr SettingKey CalculatorLeft { "1112", "" };
inline constexpr SettingKey CalculatorTop { "1121", "" };
inline constexpr SettingKey CalculatorOnTop { "312", "0" };
// TextEd
inline constexpr SettingKey TextEdLeft { "5123", "" };
inline constexpr SettingKey TextEdTop { "5132", "" };
inline constexpr SettingKey TextEdWidth { "5232", "7440" };
inline constexpr SettingKey TextEdHeight { "5223", "6195" };
// QuickNotes
inline constexpr SettingKey NotesLeft { "8221", "" };
inline constexpr SettingKey NotesTop { "8212", "" };
inline constexpr SettingKey NotesWidth { "8423", "2760" };
inline constexpr SettingKey NotesHeight { "8432", "4515" };
inline constexpr SettingKey NotesOnTop { "8223", "0" };
// Conflict copies a sync engine left in the data folder that the user was told of (one path a line)
inline constexpr SettingKey ConflictsTold { "ConflictsTold", "" };
// Find
inline constexpr SettingKey SearchLeft { "SearchLeft", "" };
inline constexpr SettingKey SearchTop { "SearchTop", "" };
} // namespace Key
