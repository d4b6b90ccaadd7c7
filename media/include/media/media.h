// The media layer: everything the game needs of the machine, as a small set
// of operations. The game includes this header and nothing of SDL or the
// codec libraries. Every operation takes the API lock on entry and releases
// it on return; 0 (or a handle) means success, -1 failure, unless said.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Window, screen, message pump, timer and input
// ---------------------------------------------------------------------------

int InitMedia();
int EndMedia();
int ProcessMessage();                 // 0 normally; -1 once the program must end
int ChangeWindowMode(int windowed);   // 1 windowed, 0 full screen
int SetWindowCaption(const char* text);
int SetWindowScale(double rate);
int SetMouseCursorVisible(int flag);
uint32_t GetTimeMs();
int CheckKey(int keyCode);            // keyboard codes: PC set-1, extended keys +0x80
int GetPadInput(int source);          // joypad 1.., | 0x1000 to OR in the keyboard
int SetDrawTarget(int target);        // kDrawTargetBack, kDrawTargetFront or a GraphHandle
int ClearScreen();
int FlipScreen();

// The API lock: recursive and first-come-first-served. The frame tick holds
// it around FlipScreen; every operation above takes it by itself.
void EnterMediaLock();
void LeaveMediaLock();

constexpr int kDrawTargetBack = -2;
constexpr int kDrawTargetFront = -4;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// GetPadInput bits.
constexpr int kPadDown = 0x1;
constexpr int kPadLeft = 0x2;
constexpr int kPadRight = 0x4;
constexpr int kPadUp = 0x8;
constexpr int kPadButton0 = 0x10;     // button n is kPadButton0 << n, n = 0..23
constexpr int kPadWithKeyboard = 0x1000;

// Settings of our own, made before InitMedia (or at any time where noted).
int SetFramePacing(int on);           // 1 (default): FlipScreen holds 60 frames/s; 0: run flat out
int SetAllowSecondInstance(int allow);// 1: a second copy may start ("...続行します")
int SetLogFolder(const char* folder); // where InitMedia makes Log.txt (the folder is made);
                                      // nullptr or "": the current directory (default)

// A short message in the desktop's own box with an OK button, waited for:
// for a player who started the game from the desktop menu and sees no
// terminal. Shown only when standard error is not a terminal (a terminal
// has read the words already). 0 when shown, 1 when left to the terminal,
// -1 when no box could be shown. Works before InitMedia and after EndMedia.
int ShowMessageBox(const char* title, const char* text);
// Who shows the box (tests watch the call): nullptr is the desktop's box.
using MessageBoxShower = int (*)(const char* title, const char* text);
int SetMessageBoxShower(MessageBoxShower shower);

// The log, for the game's own lines. LogText appends to Log.txt; LogFailure
// also says it on standard error, and reaches this run's Log.txt even after
// EndMedia (failures while shutting down). Both end the line themselves.
int LogText(const char* text);
int LogFailure(const char* text);

// The window's comforts (at any time).
constexpr int kScalingSmooth = 0;     // the largest fit, sharp only at whole multiples (default)
constexpr int kScalingSharp = 1;      // the largest whole multiple, nearest pixels, black bars
int SetScalingMode(int mode);
// The window's place and size while windowed, in desktop pixels: the top
// left corner of its frame (of the window itself where no window manager
// draws a frame), as a window manager places a new window, and the size of
// the picture inside. Before InitMedia: where the window opens, instead of
// centred at 640x480 times the window scale; a place on no display is
// centred.
int SetWindowPlacement(int x, int y, int width, int height);
// The window's place and size as last seen windowed: -1 before the window
// was ever made.
int GetWindowPlacement(int* x, int* y, int* width, int* height);
// A picture file (through the file layer) as the window's icon: -1 when it
// cannot be read or the window is not made yet.
int SetWindowIcon(const char* fileName);

// ---------------------------------------------------------------------------
// Image handles and drawing
// ---------------------------------------------------------------------------

int LoadImage(const char* fileName, int flag);
int LoadImageTiles(const char* fileName, int totalCount, int countAcross, int countDown,
                   int cellWidth, int cellHeight, int* handlesOut, int flag);
int DeleteImage(int graphHandle, int logFlag);
int DeleteAllImages(int logFlag);
int GetImageSize(int graphHandle, int* width, int* height);
int SetTransparentColor(int r, int g, int b);
int SetDrawArea(int x1, int y1, int x2, int y2);
int SetBlendMode(int mode, int parameter);  // 0 none, 1 alpha, 2 additive
int SetBrightness(int r, int g, int b);
int DrawImageQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                  int graphHandle, int transparentFlag);
int DrawRectangle(int x1, int y1, int x2, int y2, int colorValue, int fillFlag);
int DrawText(int x, int y, const char* text, int colorValue, int edgeColorValue);
int GetColorValue(int r, int g, int b);
int SetDefaultFontSize(int size);     // -1 means 16

constexpr int kBlendNone = 0;
constexpr int kBlendAlpha = 1;
constexpr int kBlendAdd = 2;

// Decoding ahead (our own): the picture a later LoadImage or LoadImageTiles
// of the file will want (with the transparent colour set now and flag 0) is
// decoded on a worker thread into the cache of decoded pictures, so that
// load costs a lookup. Returns at once: 0, or -1 when nothing is kept
// (LUMOTTA_CACHE_MB=0) or graphics are not running.
int PrepareImage(const char* fileName);

// Reading the picture back, for screenshots, tests and tools.
// ReadScreenPixels fills width*height 0xAARRGGBB values of the back buffer.
int ReadScreenPixels(uint32_t* pixels, int width, int height);
int SaveScreenshotPng(const char* path);
// Where Print Screen's "screenshots/NNNN.png" go: under `folder` (made on the
// first screenshot); nullptr or "": the current directory (default).
int SetScreenshotFolder(const char* folder);

// ---------------------------------------------------------------------------
// Sound and music
// ---------------------------------------------------------------------------

int LoadSound(const char* fileName, int bufferCount, int sharedStreamHandle);
int PlaySound(int soundHandle, int playType, int fromStart);  // types 0 wait, 1 once, 3 loop
int StopSound(int soundHandle);
int DeleteAllSounds(int logFlag);
int SetSoundLoadMode(int mode);       // 0..3
// Everything heard, at any time (also before InitMedia): 0..100 % (default
// 100, as loud as the sounds are made), and muting, which keeps the volume.
int SetMasterVolume(int percent);
int SetSoundMute(int muted);
// Decoding ahead (our own): the samples a later LoadSound of the file in
// load mode 0 will want are decoded on the worker thread, as PrepareImage.
int PrepareSound(const char* fileName);

constexpr int kPlayWait = 0;
constexpr int kPlayOnce = 1;
constexpr int kPlayLoop = 3;

// ---------------------------------------------------------------------------
// Movie playback
// ---------------------------------------------------------------------------

int PlayMovie(const char* fileName, int scale, int noSkipFlag);

// ---------------------------------------------------------------------------
// File access and pack archives
// ---------------------------------------------------------------------------

int SetPackArchiveExtension(const char* text);

// The archive-aware file layer. Handles are 0 on failure.
int FileOpen(const char* fileName, int async);
int FileClose(int fileHandle);
int64_t FileTell(int fileHandle);
int FileSeek(int fileHandle, int64_t offset, int origin);   // 0 start, 1 current, 2 end
size_t FileRead(void* buffer, size_t elementSize, size_t count, int fileHandle);
int FileEof(int fileHandle);
int FileReady(int fileHandle);        // nonzero when an asynchronous read has finished
int FileSetCurrentDirectory(const char* path);
int FileGetCurrentDirectory(char* buffer, size_t bufferSize);
