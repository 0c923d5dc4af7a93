// The model in 3D: the host's glTF drawn as one batch (every element's triangles in one geometry,
// one draw call), recoloured and hidden in place as the host's looks say; orbit, pan, zoom,
// fit-all, picking and the highlight of the selection.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

// Reads the host's binary glTF: the JSON chunk, and typed arrays over the binary chunk's data
// for an accessor (positions as floats, indices as 16 or 32 bits), without a copy.
function readGlb(bytes) {
  const view = new DataView(bytes);
  if (view.getUint32(0, true) !== 0x46546c67 || view.getUint32(4, true) !== 2) throw new Error('not a glTF 2 binary');
  const jsonLength = view.getUint32(12, true);
  const doc = JSON.parse(new TextDecoder().decode(new Uint8Array(bytes, 20, jsonLength)));
  const binAt = 20 + jsonLength + 8;
  const at = (accessor) => binAt + (doc.bufferViews[accessor.bufferView].byteOffset ?? 0) + (accessor.byteOffset ?? 0);
  const floats = (accessor) => new Float32Array(bytes, at(accessor), accessor.count * 3);
  const indices = (accessor) => (accessor.componentType === 5123 ? new Uint16Array(bytes, at(accessor), accessor.count)
    : new Uint32Array(bytes, at(accessor), accessor.count));
  return { doc, floats, indices };
}

// Each vertex's look is four bytes: red, green, blue and its state. Only the vertices of shown
// elements are in the batch's draw list.
const HIDDEN = 0, SELECTED = 128, SHOWN = 255;
const packed = (rgb, state) => (((rgb >> 16) & 255) | (rgb & 0xff00) | ((rgb & 255) << 16) | (state << 24)) >>> 0;
const rgbOf = (word) => ((word & 255) << 16) | (word & 0xff00) | ((word >> 16) & 255);

// The batch's shading, kept small because software WebGL runs it for every vertex and pixel: a
// sky and ground light and a sun on each flat face; a selected element glows.
function batchMaterial() {
  return new THREE.ShaderMaterial({
    side: THREE.DoubleSide,
    vertexShader: `
      attribute vec4 look;
      varying vec3 vColour;
      varying vec3 vAt;
      varying float vGlow;
      void main() {
        vec4 at = modelViewMatrix * vec4(position, 1.0);
        vAt = at.xyz;
        vColour = look.rgb;
        vGlow = look.a < 0.75 ? 1.0 : 0.0;
        gl_Position = projectionMatrix * at;
      }`,
    fragmentShader: `
      uniform vec3 sun;
      uniform vec3 up;
      varying vec3 vColour;
      varying vec3 vAt;
      varying float vGlow;
      void main() {
        vec3 n = normalize(cross(dFdx(vAt), dFdy(vAt)));
        float light = (mix(0.133, 1.0, 0.5 + 0.5 * dot(n, up)) * 1.6 + max(dot(n, sun), 0.0) * 1.4) / 3.14159;
        gl_FragColor = vec4(vColour * light + vGlow * vec3(0.6, 0.32, 0.0), 1.0);
      }`,
    uniforms: { sun: { value: new THREE.Vector3() }, up: { value: new THREE.Vector3() } },
  });
}

// The corner counts of a shape's body parts, in the order of their colours, from the triangle
// corners of each part that the file gives: a part keeps corners of its own, after the parts
// before it. One part of all corners when the counts do not fit the triangles.
function partCorners(list, count, parts) {
  const whole = [count];
  if (!parts || parts.reduce((a, b) => a + b, 0) !== list.length) return whole;
  const counts = [];
  let t = 0, end = 0;
  for (const triangleCorners of parts) {
    let last = end - 1;
    for (const stop = t + triangleCorners; t < stop; t++) last = Math.max(last, list[t]);
    counts.push(last + 1 - end);
    end = last + 1;
  }
  return end === count ? counts : whole;
}

export const BACKGROUND = 0xe8ecf0;

export class Viewer {
  constructor(canvas) {
    this.canvas = canvas;
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: false, preserveDrawingBuffer: true });
    // The host's colours are shown as they are, as its own renderer shows them.
    this.renderer.outputColorSpace = THREE.LinearSRGBColorSpace;
    this.scene = new THREE.Scene();
    this.scene.background = new THREE.Color(BACKGROUND);
    this.camera = new THREE.PerspectiveCamera(45, 1, 0.1, 10000);
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.addEventListener('change', () => this.requestPicture());
    this.material = batchMaterial();
    this.batch = null;      // the one mesh of every element with a body
    this.items = [];        // those elements: index, first vertex, vertex count, parts, glTF node
    this.byIndex = [];      // element order -> item
    this.selected = new Set();
    this.pictures = 0;      // pictures drawn so far
    this.pictureWaiters = [];
    this.pending = false;
    this.stale = false;     // something changed that the picture does not show yet
    this.marks = {};        // how long the last load's steps took (ms)
    new ResizeObserver(() => this.resize()).observe(canvas);
    this.resize();
  }

  resize() {
    const { clientWidth: w, clientHeight: h } = this.canvas;
    if (w === 0 || h === 0) return;
    this.renderer.setSize(w, h, false);
    this.camera.aspect = w / h;
    this.camera.updateProjectionMatrix();
    this.requestPicture();
  }

  // Pictures are drawn on demand only: at most one a frame for the mouse, at once for the host's
  // answer (drawPicture), so a date shown is not kept waiting for the next frame.
  requestPicture() {
    this.stale = true;
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      if (this.stale) this.drawPicture();
    });
  }

  drawPicture() {
    this.stale = false;
    const t0 = performance.now();
    this.renderer.render(this.scene, this.camera);
    this.marks.render = performance.now() - t0;
    this.pictures++;
    const waiters = this.pictureWaiters;
    this.pictureWaiters = [];
    for (const w of waiters) w(this.pictures);
  }

  // Resolves once the picture shows everything asked of it so far.
  nextPicture() {
    if (!this.stale) return Promise.resolve(this.pictures);
    return new Promise((resolve) => this.pictureWaiters.push(resolve));
  }

  load(bytes) {
    const t0 = performance.now();
    const { doc, floats, indices } = readGlb(bytes);
    const t1 = performance.now();
    if (this.batch) {
      this.scene.remove(this.batch);
      this.batch.geometry.dispose();
    }
    this.items = [];
    this.byIndex = [];
    this.selected = new Set();
    // The file shares an element's corners among its triangles, and one shape among elements
    // alike (each placed by its node's translation). The batch keeps that sharing within an
    // element: every element gets its shape's corners, moved into place, and its triangles as
    // indices into them, element after element.
    let vertices = 0, corners = 0;
    const bodies = [];
    const shapes = new Map();  // each primitive's corners, triangles and body parts' corner counts
    for (const node of doc.nodes ?? []) {
      if (node.mesh === undefined) continue;
      const primitive = doc.meshes[node.mesh].primitives[0];
      let shape = shapes.get(primitive);
      if (!shape) {
        const position = doc.accessors[primitive.attributes.POSITION];
        const at = floats(position);
        const list = primitive.indices === undefined ? Uint32Array.from({ length: position.count }, (_, k) => k)
          : indices(doc.accessors[primitive.indices]);
        shape = { at, list, position, parts: partCorners(list, position.count, node.extras.parts) };
        shapes.set(primitive, shape);
      }
      const [x, y, z] = node.translation ?? [0, 0, 0];
      const item = { index: node.extras.index, first: vertices, count: shape.position.count, tri: corners,
        corners: shape.list.length, parts: shape.parts, node };
      item.box = new THREE.Box3(new THREE.Vector3(...shape.position.min), new THREE.Vector3(...shape.position.max))
        .translate(new THREE.Vector3(x, y, z));
      bodies.push([shape, x, y, z]);
      vertices += item.count;
      corners += item.corners;
      this.items.push(item);
      this.byIndex[item.index] = item;
    }
    const positions = new Float32Array(vertices * 3);
    const triangles = new Uint32Array(corners);
    let o = 0, t = 0;
    for (const [{ at, list }, x, y, z] of bodies) {
      const base = o / 3;
      for (let k = 0; k < list.length; k++) triangles[t++] = list[k] + base;
      for (let k = 0; k < at.length; k += 3) {
        positions[o++] = at[k] + x;
        positions[o++] = at[k + 1] + y;
        positions[o++] = at[k + 2] + z;
      }
    }
    this.triangles = triangles;
    // Grey until the host's looks, asked for with the model, are applied before the first picture.
    this.looks = new Uint32Array(vertices).fill(packed(0x808080, SHOWN));
    const box = new THREE.Box3();
    for (const item of this.items) box.union(item.box);
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute('position', new THREE.BufferAttribute(positions, 3));
    this.colour = new THREE.BufferAttribute(new Uint8Array(this.looks.buffer), 4, true);
    this.colour.setUsage(THREE.DynamicDrawUsage);
    geometry.setAttribute('look', this.colour);
    this.allTriangles = new THREE.BufferAttribute(triangles, 1);
    this.drawList = null;  // made when an element is first hidden
    geometry.boundingBox = box;
    geometry.boundingSphere = box.isEmpty() ? new THREE.Sphere() : box.getBoundingSphere(new THREE.Sphere());
    this.batch = new THREE.Mesh(geometry, this.material);
    this.batch.matrixAutoUpdate = false;
    this.batch.frustumCulled = false;
    this.updateDrawList();
    this.drawList?.clearUpdateRanges();
    // The lights in the camera's terms: white from the sky, grey from the ground, and a sun.
    this.batch.onBeforeRender = (renderer, scene, camera) => {
      this.material.uniforms.up.value.set(0, 1, 0).transformDirection(camera.matrixWorldInverse);
      this.material.uniforms.sun.value.set(0.5, 1, 0.8).transformDirection(camera.matrixWorldInverse);
    };
    this.scene.add(this.batch);
    this.marks.parse = t1 - t0;
    this.marks.batch = performance.now() - t1;
    this.fitAll();
  }

  // Writes an element's vertex looks; only a change is sent to the drawing.
  paint(item, colours, state) {
    let v = item.first, changed = false;
    if ((this.looks[v] >>> 24 === HIDDEN) !== (state === HIDDEN)) this.shownChanged = true;
    item.parts.forEach((count, k) => {
      const word = packed(colours[k] ?? 0x808080, state);
      if (count > 0 && this.looks[v] !== word) {
        this.looks.fill(word, v, v + count);
        changed = true;
      }
      v += count;
    });
    if (changed) this.colour.addUpdateRange(item.first * 4, item.count * 4);
    return changed;
  }

  // The host's looks (shown or not, the colour of each body part as 0xRRGGBB), applied in place;
  // true when the picture changed.
  applyLooks(looks) {
    let changed = 0;
    for (const look of looks) {
      const item = this.byIndex[look.i];
      if (!item) continue;
      item.colours = look.c;
      const state = look.v !== 1 ? HIDDEN : this.selected.has(item.index) ? SELECTED : SHOWN;
      if (this.paint(item, look.c, state)) changed++;
    }
    this.commit(changed);
    return changed > 0;
  }

  // Highlights the elements chosen; true when that changed anything.
  setSelection(indices) {
    const chosen = new Set(indices);
    let changed = 0;
    for (const index of new Set([...chosen, ...this.selected])) {
      const item = this.byIndex[index];
      if (!item) continue;
      const state = this.looks[item.first] >>> 24;
      if (state === HIDDEN) continue;
      const now = chosen.has(index) ? SELECTED : SHOWN;
      if (now !== state && this.paint(item, item.colours ?? this.coloursOf(item), now)) changed++;
    }
    this.selected = chosen;
    this.commit(changed);
    return changed > 0;
  }

  commit(changed) {
    if (changed === 0) return;
    if (this.shownChanged) this.updateDrawList();
    this.shownChanged = false;
    // Many small ranges cost more than the whole buffer at once.
    if (this.colour.updateRanges.length > 4096) this.colour.clearUpdateRanges();
    this.colour.needsUpdate = true;
  }

  // The draw list: the triangles of the shown elements, element after element; only what follows
  // the first change is sent again. While every element is shown the batch is drawn with all its
  // triangles (a model's first picture waits for no list).
  updateDrawList() {
    const geometry = this.batch.geometry;
    if (this.items.every((item) => this.looks[item.first] >>> 24 !== HIDDEN)) {
      if (geometry.index !== this.allTriangles) geometry.setIndex(this.allTriangles);
      geometry.setDrawRange(0, Infinity);
      this.drawCount = this.triangles.length;
      return;
    }
    if (!this.drawList) {
      this.drawList = new THREE.BufferAttribute(new Uint32Array(this.triangles.length).fill(0xffffffff), 1);
      this.drawList.setUsage(THREE.DynamicDrawUsage);
    }
    if (geometry.index !== this.drawList) geometry.setIndex(this.drawList);
    const list = this.drawList.array;
    let k = 0, from = -1;
    for (const item of this.items) {
      if (this.looks[item.first] >>> 24 === HIDDEN) continue;
      if (from < 0 && list[k] !== this.triangles[item.tri]) from = k;
      if (from >= 0) list.set(this.triangles.subarray(item.tri, item.tri + item.corners), k);
      k += item.corners;
    }
    geometry.setDrawRange(0, k);
    if (from >= 0 && k > from) {
      this.drawList.addUpdateRange(from, k - from);
      this.drawList.needsUpdate = true;
    }
    this.drawCount = k;
  }

  // The colour of each body part as drawn (none for a part without triangles).
  coloursOf(item) {
    let v = item.first;
    return item.parts.map((count) => { v += count; return count > 0 ? rgbOf(this.looks[v - count]) : undefined; });
  }

  // What the batch draws, read from its own vertex looks: for each element with a body, its
  // index, whether it is shown, whether it is highlighted, and its parts' colours (0xRRGGBB).
  drawn() {
    const list = this.batch?.geometry.index?.array;
    const listed = new Set();
    for (let k = 0; list && k < this.drawCount;) {
      let [low, high] = [0, this.items.length - 1];  // the element whose corners those are
      while (low < high) { const mid = (low + high + 1) >> 1; if (this.items[mid].first <= list[k]) low = mid; else high = mid - 1; }
      listed.add(this.items[low]);
      k += Math.max(1, this.items[low].corners);
    }
    return this.items.map((item) => {
      const state = this.looks[item.first] >>> 24;
      return { index: item.index, visible: listed.has(item), selected: state === SELECTED,
        colours: this.coloursOf(item).filter((c) => c !== undefined) };
    });
  }

  fitAll() {
    const box = new THREE.Box3();
    for (const item of this.items) if (this.looks[item.first] >>> 24 !== HIDDEN) box.union(item.box);
    if (box.isEmpty()) for (const item of this.items) box.union(item.box);
    if (box.isEmpty()) { this.requestPicture(); return; }
    const centre = box.getCenter(new THREE.Vector3());
    const radius = box.getSize(new THREE.Vector3()).length() / 2;
    const distance = radius / Math.sin((this.camera.fov * Math.PI) / 360);
    const direction = new THREE.Vector3(1, 0.7, 1.2).normalize();
    this.camera.position.copy(centre).addScaledVector(direction, distance);
    this.camera.near = Math.max(distance / 1000, 0.01);
    this.camera.far = distance * 10;
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(centre);
    this.controls.update();
    this.requestPicture();
  }

  // The element under a point of the canvas (client coordinates), or null: its index, GUID, ID,
  // type and layer. The ray meets the boxes of the shown elements first, then the triangles of
  // those it meets, nearest box first.
  pick(x, y) {
    const rect = this.canvas.getBoundingClientRect();
    const pointer = new THREE.Vector2(((x - rect.left) / rect.width) * 2 - 1, -((y - rect.top) / rect.height) * 2 + 1);
    const ray = new THREE.Raycaster();
    ray.setFromCamera(pointer, this.camera);
    const candidates = [];
    const at = new THREE.Vector3();
    for (const item of this.items) {
      if (this.looks[item.first] >>> 24 === HIDDEN || !ray.ray.intersectBox(item.box, at)) continue;
      candidates.push([ray.ray.origin.distanceTo(at), item]);
    }
    candidates.sort((a, b) => a[0] - b[0]);
    const p = this.batch?.geometry.getAttribute('position');
    const a = new THREE.Vector3(), b = new THREE.Vector3(), c = new THREE.Vector3();
    let best = null, nearest = Infinity;
    for (const [boxDistance, item] of candidates) {
      if (boxDistance > nearest) break;
      for (let t = item.tri; t < item.tri + item.corners; t += 3) {
        a.fromBufferAttribute(p, this.triangles[t]);
        b.fromBufferAttribute(p, this.triangles[t + 1]);
        c.fromBufferAttribute(p, this.triangles[t + 2]);
        if (!ray.ray.intersectTriangle(a, b, c, false, at)) continue;
        const distance = ray.ray.origin.distanceTo(at);
        if (distance < nearest) { nearest = distance; best = item; }
      }
    }
    if (!best) return null;
    const { extras, name } = best.node;
    return { index: best.index, guid: name, id: extras.id, type: extras.type, layer: extras.layer };
  }
}
