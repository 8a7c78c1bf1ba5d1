// web_sound.js — the cues through Web Audio: decoded once the first gesture
// has made an AudioContext (a browser allows sound only then), a new one
// cutting off the one that sounds.
mergeInto(LibraryManager.library, {
  $MariveltSound: {
    audio: null,        // the AudioContext, made on the first gesture
    cuePaths: [],
    cues: {},           // path -> AudioBuffer
    playing: null,      // {source, gain} of the cue that sounds

    start: function() {
      var AudioContextType = window.AudioContext || window.webkitAudioContext;
      if (!AudioContextType || MariveltSound.audio) return;
      MariveltSound.audio = new AudioContextType();
      MariveltSound.cuePaths.forEach(MariveltSound.decodeCue);
    },
    decodeCue: function(path) {
      var audio = MariveltSound.audio;
      var bytes;
      try { bytes = FS.readFile(path); } catch (e) { return; }  // a missing cue is silence
      var copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
      audio.decodeAudioData(copy).then(function(buffer) { MariveltSound.cues[path] = buffer; }, function() {});
    },
    // Fades the sounding cue out over `seconds` and stops it there.
    fadeOut: function(seconds) {
      var playing = MariveltSound.playing;
      if (!playing) return;
      var now = MariveltSound.audio.currentTime;
      playing.gain.gain.setValueAtTime(playing.gain.gain.value, now);
      playing.gain.gain.linearRampToValueAtTime(0, now + seconds);
      playing.source.stop(now + seconds);
      MariveltSound.playing = null;
    },
  },

  marivelt_open_sound__deps: ['$MariveltSound'],
  marivelt_open_sound: function(paths, count) {
    for (var i = 0; i < count; i++) MariveltSound.cuePaths.push(UTF8ToString(HEAP32[(paths >> 2) + i]));
    if (MariveltSound.audio) MariveltSound.cuePaths.forEach(MariveltSound.decodeCue);
  },

  // A new cue cuts off the one sounding (a 5 ms fade, no click). Before the
  // first gesture, or before its file is decoded, a cue is silence.
  marivelt_play_sound__deps: ['$MariveltSound'],
  marivelt_play_sound: function(path) {
    var audio = MariveltSound.audio;
    var buffer = audio && MariveltSound.cues[UTF8ToString(path)];
    if (!buffer || audio.state !== 'running') return;
    MariveltSound.fadeOut(0.005);
    var source = audio.createBufferSource();
    var gain = audio.createGain();
    source.buffer = buffer;
    source.connect(gain).connect(audio.destination);
    source.start();
    MariveltSound.playing = {source: source, gain: gain};
  },

  // What still sounds fades out over 20 ms, then the context closes.
  marivelt_close_sound__deps: ['$MariveltSound'],
  marivelt_close_sound: function() {
    var audio = MariveltSound.audio;
    if (!audio) return;
    MariveltSound.fadeOut(0.02);
    MariveltSound.audio = null;
    setTimeout(function() { audio.close().catch(function() {}); }, 50);
  },
});
