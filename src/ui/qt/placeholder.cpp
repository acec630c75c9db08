// The Qt binding lands here.
