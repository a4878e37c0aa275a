#pragma once

// A place on the ground of a planned route (world units, x east, z south).
struct RoutePoint {
    double x = 0.0, z = 0.0;
    double reach = 6.0;  // as a waypoint it counts as passed this near (units)
};
