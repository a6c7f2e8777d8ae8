#pragma once

// Makes the forms the rig creates real windows of the platform's backend.
void UseRigWindows();
