#pragma once
// The host's 3D view, 3D window and pictures as add-ons see them.
//
// Selector calls (all return 0 on success; their codes are in API/Selectors.h):
//   Environment 'GP3D' (API_3DProjectionInfo* out, unused): the current 3D view.
//   Environment 'CP3D' (API_3DProjectionInfo* in, uint8_t* unused): sets the 3D view; byte 0
//                       must be 1 (a perspective view given by the camera record at byte 40).
//   Environment 'GW3D' (API_3DWindowInfo* out, unused): the 3D window; picture size at 108/110.
//   Environment 'GREN' (API_RenderingInfo* out, settings set number, 1): the rendered picture's
//                       size at 0/2.
//   Internal 'CIMG' (KXPixMapHandle* in/out, API_PictureRequest*): makes a picture of the 3D
//                    view. An empty handle receives a new picture; a handle that already holds
//                    one is resized and drawn over. 0x810600C9 also means success.
//   Internal 'SECF' (uint8_t* on, unused): 1 when a series of pictures starts, 0 when it ends.
//   Internal 'SLSH' (int32_t* pathNumber, GSHandle* out): the interpolated cameras of a camera
//                    path, one API_PerspPars per frame position; the caller kills the handle.
//   Goodies 'PSBG' / 'PSEN' (no arguments): open and close a picture series (a movie).
//   Environment 'PSTY' (const API_PictureStyle* in, API_PictureStyle* out): how the pictures
//                       of the 3D view are drawn from now on; the style before goes to `out`.
//                       Either may be null (null `in` only reads the style).
//   Environment 'LGND' (const API_Legend*): the legend's rows: a name and the materials that
//                       show it. Pictures drawn with a legend list the rows whose materials the
//                       picture shows.
#include <cstddef>
#include <cstdint>

#include "API/ApiTypes.h"
#include "API/Elements.h"

// 'GP3D' and 'CP3D'. 328 bytes.
struct API_3DProjectionInfo {
    uint8_t isPersp;        // 0: 1 = perspective view given by `camera`
    uint8_t reserved[39];   // 1
    API_PerspPars camera;   // 40: the 224-byte camera record (API/Elements.h)
    uint8_t reserved2[64];  // 264
};
static_assert(sizeof(API_3DProjectionInfo) == 328);
static_assert(offsetof(API_3DProjectionInfo, camera) == 40);

// 'GW3D'. 328 bytes.
struct API_3DWindowInfo {
    uint8_t reserved[108];   // 0
    int16_t hSize;           // 108: picture width in pixels
    int16_t vSize;           // 110: picture height in pixels
    uint8_t reserved2[216];  // 112
};
static_assert(sizeof(API_3DWindowInfo) == 328);
static_assert(offsetof(API_3DWindowInfo, hSize) == 108);
static_assert(offsetof(API_3DWindowInfo, vSize) == 110);

// 'GREN'. 328 bytes.
struct API_RenderingInfo {
    int16_t hSize;          // 0: picture width in pixels
    int16_t vSize;          // 2: picture height in pixels
    int16_t supersampling;  // 4: samples per pixel side used by the host
    uint8_t reserved[322];  // 6
};
static_assert(sizeof(API_RenderingInfo) == 328);

// 'CIMG' second argument.
struct API_PictureRequest {
    uint8_t use3DWindow;  // 1: a picture of the 3D window's size, 0: the rendered picture
    uint8_t fresh;        // 1: the view or the model may have changed since the last picture
};
static_assert(sizeof(API_PictureRequest) == 2);

// 'PSTY'. 8 bytes.
struct API_PictureStyle {
    uint8_t edges;        // 1: outlines and creases drawn
    uint8_t legend;       // 1: the legend drawn into the pictures of 'CIMG'
    uint8_t reserved[6];
};
static_assert(sizeof(API_PictureStyle) == 8);

// One row of 'LGND'. 72 bytes.
struct API_LegendEntry {
    int32_t underWayMaterial;  // 0: material index of the elements under way
    int32_t doneMaterial;      // 4: of the elements done; 0 when they keep their own materials
    char name[64];             // 8: UTF-8, NUL-terminated
};
static_assert(sizeof(API_LegendEntry) == 72);

// 'LGND'. 580 bytes.
struct API_Legend {
    int32_t count;  // 0..8
    API_LegendEntry entries[8];
};
static_assert(sizeof(API_Legend) == 580);
