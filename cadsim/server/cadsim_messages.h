#pragma once
// The simulator window as other programs see it: its window class, and the registered window messages
// through which a test drives it from outside. Send them with SendMessage (or SendMessageTimeout) to
// the simulator's top-level window.
//
//   WriteState   writes the state (simulation_file.h) to the --out file before it answers;
//                1 when written, 0 when there is no --out file or it cannot be written
//   EntityPoint  wParam: an entity id. A client-area pixel where a left click picks that entity, as
//                MAKELRESULT(x, y); kNoEntityPoint when there is none
//   Selecting    1 while an interactive selection waits for the user, else 0
//   BusyFor      wParam: milliseconds. The CAD is busy from now on for that long and refuses every
//                automation call meanwhile; 1
//   Busy         1 while the CAD is busy (a selection waits, or a busy spell runs), else 0
//   Undo         what Ctrl+Z does in the window: takes back the drawing's last undo step; 1 when one
//                was taken back, 0 when there was none or a selection waits
//   Retire       this CAD stops being the running one: no new client finds or starts it (its
//                running-object and class registrations are revoked), while the clients it has are
//                still served, so that a new simulator can take over before this one closes; 1
//   PromptCount  the number of lines written to the command line so far
//   SelectionSetCount  the number of live selection sets
// The last two let a benchmark see a command end without having the whole state written.

#include <windows.h>

namespace korvena::cadsim {

inline constexpr wchar_t kCadWindowClass[] = L"KorvenaCadSimWindow";

inline constexpr wchar_t kWriteStateMessageName[] = L"KorvenaCadSim.WriteState";
inline constexpr wchar_t kEntityPointMessageName[] = L"KorvenaCadSim.EntityPoint";
inline constexpr wchar_t kSelectingMessageName[] = L"KorvenaCadSim.Selecting";
inline constexpr wchar_t kBusyForMessageName[] = L"KorvenaCadSim.BusyFor";
inline constexpr wchar_t kBusyMessageName[] = L"KorvenaCadSim.Busy";
inline constexpr wchar_t kUndoMessageName[] = L"KorvenaCadSim.Undo";
inline constexpr wchar_t kRetireMessageName[] = L"KorvenaCadSim.Retire";
inline constexpr wchar_t kPromptCountMessageName[] = L"KorvenaCadSim.PromptCount";
inline constexpr wchar_t kSelectionSetCountMessageName[] = L"KorvenaCadSim.SelectionSetCount";

inline constexpr LRESULT kNoEntityPoint = 0xFFFFFFFF;

// The number the system gives a message name, asked once per process.
template <const wchar_t* Name>
UINT RegisteredMessage() {
    static const UINT message = RegisterWindowMessageW(Name);
    return message;
}

inline UINT WriteStateMessage() { return RegisteredMessage<kWriteStateMessageName>(); }
inline UINT EntityPointMessage() { return RegisteredMessage<kEntityPointMessageName>(); }
inline UINT SelectingMessage() { return RegisteredMessage<kSelectingMessageName>(); }
inline UINT BusyForMessage() { return RegisteredMessage<kBusyForMessageName>(); }
inline UINT BusyMessage() { return RegisteredMessage<kBusyMessageName>(); }
inline UINT UndoMessage() { return RegisteredMessage<kUndoMessageName>(); }
inline UINT RetireMessage() { return RegisteredMessage<kRetireMessageName>(); }
inline UINT PromptCountMessage() { return RegisteredMessage<kPromptCountMessageName>(); }
inline UINT SelectionSetCountMessage() { return RegisteredMessage<kSelectionSetCountMessageName>(); }

}  // namespace korvena::cadsim
