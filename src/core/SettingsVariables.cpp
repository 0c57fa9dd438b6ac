#include "core/SettingsVariables.h"

int32_t g_screenWidth = 640;
int32_t g_screenHeight = 480;
int32_t g_screenBPP = 16;
int32_t g_fullScreen = 0;
int32_t g_statistic = 0;
int32_t g_bboxes = 0;
int32_t g_channels = 2;
int32_t g_frequency = 22050;
int32_t g_bitrate = 8;
float g_soundVolume = 0.5f;
float g_musicVolume = 0.5f;
float g_mouse = 0.0f;
float g_brightness = 0.5f;
int32_t g_difficulty = 0;
int32_t g_dxt5 = 0;
int32_t g_bloom = 0;
int32_t g_fsaa = 0;
int32_t g_lowtex = 0;
int32_t g_quality = 0;
int32_t g_aniso = 0;
