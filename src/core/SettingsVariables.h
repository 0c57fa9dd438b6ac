#pragma once
#include <cstdint>

// The program's settings: plain variables that the subsystems read and that the settings store
// (PSettings.h) reads from and writes to config.cfg under the key named beside each. The values
// given here hold until config.cfg is first loaded.
extern int32_t g_screenWidth;    // "screenWidth", 640
extern int32_t g_screenHeight;   // "screenHeight", 480
extern int32_t g_screenBPP;      // "screenBPP", 16
extern int32_t g_fullScreen;     // "fullScreen", 0
extern int32_t g_statistic;      // "statistic", 0: the renderer's statistics text
extern int32_t g_bboxes;         // "bboxes", 0: kept in the file, read by nothing
extern int32_t g_channels;       // "channels", 2
extern int32_t g_frequency;      // "frequency", 22050
extern int32_t g_bitrate;        // "bitrate", 8: bits per sample
extern float g_soundVolume;      // "soundVolume", 0.5
extern float g_musicVolume;      // "musicVolume", 0.5
extern float g_mouse;            // "mouse", 0: mouse sensitivity
extern float g_brightness;       // "brightness", 0.5
extern int32_t g_difficulty;     // "difficulty", 0
extern int32_t g_dxt5;           // "dxt5", 0
extern int32_t g_bloom;          // "bloom", 0
extern int32_t g_fsaa;           // "fsaa", 0
extern int32_t g_lowtex;         // "lowtex", 0
extern int32_t g_quality;        // "quality", 0
extern int32_t g_aniso;          // "aniso", 0
