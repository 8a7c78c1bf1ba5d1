// bare_sdl_start — the least a program can do to put a GL frame on a
// full-screen 800 x 600 window with SDL2: the floor for the demo's start-up.
#include <SDL.h>
#include <SDL_opengl.h>

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window = SDL_CreateWindow("bare", 0, 0, 800, 600,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS);
    if (window == nullptr)
        return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr)
        return 1;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
