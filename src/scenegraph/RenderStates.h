#pragma once

// The pass a traversal of the scene graph is in.
enum RenderStates {
    VISIBILITY_TEST = 0,  // occlusion queries only, nothing reaches colour or depth
    OPAQUE_PASS = 1,
    TRANSPARENT_PASS = 2,  // blended, without depth writes
    SINGLE_PASS = 3        // everything at once, no blending
};
