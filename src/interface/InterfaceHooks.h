#pragma once

// Connects the interface screens to what lies below them: the input task hands them the mouse,
// and the engine's LockButton and UnlockButton reach their elements. Called at start-up, after
// the input task exists; safe to call again.
void InstallInterfaceHooks();
